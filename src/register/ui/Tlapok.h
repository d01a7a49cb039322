#pragma once
// The sheet register "Elszámolási lapok": the sheets of the shared HLAPA
// table in the sheet grid, the contract's day and money budget above it,
// and the commands on the sheet under the cursor. One window serves three
// modes, chosen by the command that opens it: recording (new sheets,
// changes, cancellation, viewing, closing dates; popup PMlap), sending and
// printing (marking; popup PMKi, with "Adatküldés" or "Nyomtatás").
//
// The window holds no rule: every command asks the register's logic
// whether it may act, shows the answer and calls the logic to act. Every
// command runs through the command guard; on an empty register, with no
// row under the cursor, or in a mode it does not belong to, it does
// nothing.
#include <QDialog>

#include "register/Marking.h"
#include "register/Register.h"
#include "sheets/Sheet.h"
#include "sheets/SheetEntry.h"
#include "widgets/CommandGuard.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace velmora::db { class Table; }

namespace velmora::ui {

class BrowseFrame;
class SheetWindows;
class Tleido;
class Treszlap;

class Tlapok : public QDialog {
    Q_OBJECT
public:
    Tlapok(QWidget* mainWindow, const sheets::SheetContext& ctx, const CommandGuard& guard, SheetWindows& sheetWindows,
           reg::BulkToggle& bulkToggle);

    // Sets the window up for `mode` over HLAPA filtered by `filter`, shows
    // it modally and switches the filter off when it closes.
    void run(reg::RegisterMode mode, const std::string& filter);
    reg::RegisterMode mode() const { return mode_; }

    // What "Adatküldés" and "Nyomtatás" start, set by the shipment and the
    // print. A button whose action is not set stays disabled.
    void setSendAction(std::function<void()> action);
    void setPrintAction(std::function<void()> action);
    // What "Előzmények" opens for the sheet under the cursor, set by the
    // history window; without it the item does nothing.
    void setHistoryAction(std::function<void(const sheets::SheetKey&)> action);

    // --- the commands (TlapokCommands.cpp) -----------------------------------
    void newSheet(sheets::SheetKind kind);  // "Teljes számla", "Első részszámla"
    void nextPart();                        // "Következő részszámla"
    void modify();                          // "Módosítás", Enter, double click
    void deleteOrCancel();                  // "Törlés"
    void view();                            // "Megtekintés"
    void convert();                         // "Átalakít"
    void closingDate();                     // "Lezárás"
    void history();                         // "Előzmények"
    void markOne();                         // "Egy lap", Enter, double click
    void markMonth();                       // "Aktuális hónap lapjai"
    void markYear();                        // "Aktuális év lapjai"
    // Marks (also those the print clears) with the grid redrawn once, the
    // cursor back on its row and, but in printing mode, the marked sheets'
    // figures shown.
    void marking(const std::function<void()>& mark);

    BrowseFrame* Lapkep1;
    QLabel* STm;
    QLabel* STszv;
    QLabel* STszf;
    QLabel* STav;
    QLabel* STtf;
    QLabel* STtp;
    QPushButton* kuld;     // "Adatküldés"
    QPushButton* nyomtat;  // "Nyomtatás"
    QPushButton* kilep;    // "Kilépés"
    QMenu* PMlap;
    QMenu* PMKi;
    Treszlap* reszlap;  // the first parts to continue
    Tleido* leido;      // the closing date

protected:
    void showEvent(QShowEvent* event) override;

private:
    // --- the window (Tlapok.cpp) ---------------------------------------------
    QWidget* buildBudget();
    void buildMenus();
    QAction* item(QMenu* menu, const char* name, const char* text, const char* hint,
                  void (Tlapok::*command)(), const QKeySequence& shortcut = {});
    void showMode();
    void showBudget();
    QColor rowColour(int row) const;
    void enterOrDoubleClick();
    void newFullSheet() { newSheet(sheets::SheetKind::Full); }
    void newFirstPart() { newSheet(sheets::SheetKind::FirstPart); }

    // --- the commands' steps (TlapokCommands.cpp) ----------------------------
    // The sheet under the cursor; nothing on an empty register.
    std::optional<sheets::SheetKey> currentSheet() const;
    bool recording() const { return mode_ == reg::RegisterMode::Recording; }
    // The sheet the entry window saved, under the cursor.
    void showSaved();
    // The recorded figures again, after a sheet changed.
    void refreshBudget();
    // A stored sheet in the entry window.
    void openStored(sheets::EntryMode mode);

    QWidget* mainWindow_;
    sheets::SheetContext ctx_;
    CommandGuard guard_;
    SheetWindows& sheetWindows_;
    reg::BulkToggle& bulkToggle_;
    db::Table& lap_;
    reg::RegisterMode mode_ = reg::RegisterMode::Recording;
    reg::BudgetTexts budget_;
    std::function<void()> sendAction_, printAction_;
    std::function<void(const sheets::SheetKey&)> historyAction_;

    std::vector<QAction*> recordingItems_;  // PMlap's, with their keys
    QAction* Aktulisvlapjai1 = nullptr;
};

} // namespace velmora::ui
