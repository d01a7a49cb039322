#pragma once
// "Visszatöltés": where the tables come back from — the plain copies in
// MENT, or a Zaras.arj in a folder chosen in the location window, which
// opens just below this window.
#include <QDialog>

#include "app/Dialogs.h"
#include "app/Session.h"
#include "widgets/CommandGuard.h"

#include <string>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace velmora::ui {

class TAlapkeres;

class Tviszv : public QDialog {
    Q_OBJECT
public:
    Tviszv(QWidget* parent, app::Session& session, app::Dialogs& dialogs, TAlapkeres& location,
           const CommandGuard& guard);

    // Shows the window modally with no item selected; afterwards vhonnan
    // and vv hold the choice.
    void run();

    // The source folder with a trailing separator; empty when nothing was
    // chosen or the location window was left with "Mégsem".
    std::string vhonnan;
    // True: the plain copies in MENT; false: an archive in vhonnan.
    bool vv = false;

    QGroupBox* RG1;
    QRadioButton* RG1Ment;     // "MENT könyvtár"
    QRadioButton* RG1Utvonal;  // "Választott útvonal"
    QPushButton* B1;           // "OK"

private:
    void B1Click();

    app::Session& session_;
    app::Dialogs& dialogs_;
    TAlapkeres& location_;
    CommandGuard guard_;
};

} // namespace velmora::ui
