#pragma once
// The program's places and the base fee, in a fixed-pitch label so the
// padded columns line up.
#include <QDialog>
#include <QFont>

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

// A font whose narrow, wide and accented letters all advance alike:
// `first` when it does, else the first known monospaced family that does
// on this machine (at the size of `first`), else `first`. What a family
// claims about its pitch is not trusted: some monospaced fonts do not
// declare it, and a missing family resolves to whatever the system has.
QFont MonospacedFont(const QFont& first);

} // namespace velmora::ui
