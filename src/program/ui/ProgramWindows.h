#pragma once
// Every window of the program over one session, one database and the
// program's message boxes: the main window and each layer's windows with
// their menu commands, made in the program's order. RunProgram makes one;
// a window test makes the same whole program on a clock of its own.
#include <memory>

namespace velmora::app {
class Dialogs;
class Session;
class SysPasswordStore;
class ZarasPeriodTable;
}  // namespace velmora::app

namespace velmora::db {
class Database;
}

namespace velmora::ui {

class BackupCommands;
class CheckCommand;
class EmployeeDaysCommand;
class ExchangeWindows;
class FullImportCommand;
class GridSaving;
class HistoryCommand;
class LogCommand;
class MasterListCommands;
class MonthlyCommands;
class OverviewCommands;
class QtDialogs;
class RegisterWindows;
class SheetPrintCommand;
class SheetWindows;
class TajListCommands;
class Tfokep;
struct MasterDataWindows;

struct ProgramWindows {
    // The main window becomes the boxes' parent and status bar; the windows
    // talk to the user through `dialogs` (the boxes behind the log).
    ProgramWindows(app::Session& session, db::Database& dbs, QtDialogs& boxes, app::Dialogs& dialogs);
    ProgramWindows(app::Session& session, db::Database& dbs, QtDialogs& boxes);
    ~ProgramWindows();

    std::unique_ptr<GridSaving> gridSaving;  // before every grid, gone after them
    std::unique_ptr<Tfokep> fokep;
    std::unique_ptr<app::ZarasPeriodTable> periods;
    std::unique_ptr<app::SysPasswordStore> passwords;
    std::unique_ptr<MasterDataWindows> masterData;
    std::unique_ptr<SheetWindows> sheetWindows;
    std::unique_ptr<RegisterWindows> registerWindows;
    std::unique_ptr<ExchangeWindows> exchangeWindows;
    std::unique_ptr<FullImportCommand> fullImport;
    std::unique_ptr<BackupCommands> backupCommands;
    std::unique_ptr<CheckCommand> checkCommand;
    std::unique_ptr<MasterListCommands> masterLists;
    std::unique_ptr<SheetPrintCommand> sheetPrint;
    std::unique_ptr<HistoryCommand> history;
    std::unique_ptr<TajListCommands> tajLists;
    std::unique_ptr<EmployeeDaysCommand> employeeDays;
    std::unique_ptr<MonthlyCommands> monthly;
    std::unique_ptr<OverviewCommands> overview;
    std::unique_ptr<LogCommand> log;
};

} // namespace velmora::ui
