#pragma once
// "Névjegy": the program title, its version and an OK button.
#include <QDialog>

class QLabel;
class QPushButton;

namespace velmora::ui {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* ProductName;
    QLabel* Version;
    QPushButton* OKButton;
};

} // namespace velmora::ui
