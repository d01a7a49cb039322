#pragma once
// "Titkosított mentés jelszava": asks for the passphrase of an encrypted
// backup copy, or of the one being restored. The entry takes any character
// (the passphrase is never stored, so code page 852 does not bind it) and
// shows "*" for each; what was typed is cleared as soon as it is handed
// over. The rules and the comparison of the two entries are the backup
// logic's.
#include <QDialog>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::ui {

class Tmentjel : public QDialog {
    Q_OBJECT
public:
    explicit Tmentjel(QWidget* parent);

    // Shows the window modally under the prompt; what was typed when left
    // with "OK", nothing when left with "Mégsem", Escape or the close box.
    std::optional<std::string> ask(const std::string& prompt);

    QLabel* Label1;
    QLineEdit* Jelszo;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

} // namespace velmora::ui
