#pragma once
// The program's places and the base fee, in a fixed-pitch label so the
// padded columns line up.
#include <QDialog>

class QLabel;
class QPushButton;

namespace velmora::ui {

class Tutkep : public QDialog {
    Q_OBJECT
public:
    explicit Tutkep(QWidget* parent = nullptr);

    QLabel* L1;
    QPushButton* OKBtn;
};

} // namespace velmora::ui
