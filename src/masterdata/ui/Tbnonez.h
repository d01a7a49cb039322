#pragma once
// The BNO viewer: the diagnosis codes in a browse frame, searched and
// ordered like every frame, with "Kilépés" to close.
#include <QDialog>

#include <string>

class QPushButton;

namespace velmora::app { class Dialogs; }
namespace velmora::db { class Table; }

namespace velmora::ui {

class BrowseFrame;

class Tbnonez : public QDialog {
    Q_OBJECT
public:
    Tbnonez(QWidget* mainWindow, db::Table& bnotorzs);

    // The menu command: pending events run, the status text shows in the
    // main window's first panel, the grid becomes the active control and
    // the window runs modally.
    void runFromMenu(app::Dialogs& dialogs);

    BrowseFrame* BNOkep1;
    QPushButton* kilep;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* mainWindow_;
};

} // namespace velmora::ui
