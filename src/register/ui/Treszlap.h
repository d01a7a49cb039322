#pragma once
// The chooser "Első részszámlák" of the register's recording mode: the
// year's first partial invoices whose series is not full, in the sheet
// grid over the shared HLAPA table (the register filters it). Choosing one
// ("Választás", Enter or a double click) opens the entry window with the
// next part of that series and closes the chooser once the entry window
// is closed.
#include <QDialog>

#include "sheets/SheetEntry.h"
#include "widgets/CommandGuard.h"

class QPushButton;

namespace velmora::db { class Table; }

namespace velmora::ui {

class BrowseFrame;
class SheetWindows;

class Treszlap : public QDialog {
    Q_OBJECT
public:
    // `registerWindow` is where it opens from, and where the entry window
    // opens from.
    Treszlap(QWidget* registerWindow, db::Table& lap, const sheets::SheetContext& ctx, const CommandGuard& guard,
             SheetWindows& sheetWindows);

    // Shows the chooser modally over HLAPA as it is filtered now.
    void run(const QString& caption);
    void valasztClick();

    BrowseFrame* Lapkep1;
    QPushButton* kilep;
    QPushButton* valaszt;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* registerWindow_;
    db::Table& lap_;
    sheets::SheetContext ctx_;
    CommandGuard guard_;
    SheetWindows& sheetWindows_;
};

} // namespace velmora::ui
