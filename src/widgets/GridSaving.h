#pragma once
// Every grid of the program can be saved for a spreadsheet: the commands
// "Mentés Excel táblázatba" and "Mentés CSV állományba" beside its
// navigator and in its context menu. They save into LISTA under the grid's
// window caption. The grids are built deep inside each layer's windows,
// which know neither the session nor the dialogs: the program sets once
// where grids save, for as long as a GridSaving lives.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "reports/DataTable.h"
#include "reports/TableExport.h"

#include <array>
#include <string>

class QAction;
class QTableView;

namespace velmora::ui {

class BrowseModel;
class Navigator;

class GridSaving {
public:
    GridSaving(const app::Session& session, app::Dialogs& dialogs);
    ~GridSaving();
    GridSaving(const GridSaving&) = delete;
    GridSaving& operator=(const GridSaving&) = delete;

    // The one that lives; nullptr when none (the commands are then off).
    static GridSaving* current();
    // Saves into LISTA and tells the path; "" when it could not (told).
    std::string save(const reports::DataTable& table, reports::TableFormat format) const;

private:
    const app::Session& session_;
    app::Dialogs& dialogs_;
    GridSaving* before_;
};

// The grid's two commands (Excel first): a button with them beside the
// navigator, and the grid's context menu unless the grid has a menu of
// its own, whose window then puts the actions into it.
std::array<QAction*, 2> offerGridSaving(QTableView* grid, BrowseModel* model, Navigator* navigator);

} // namespace velmora::ui
