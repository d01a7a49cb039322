#pragma once
// The whole program as it runs for a user, inside the test's process: an
// installation folder that is the working directory, a fixed clock, the
// program's real message boxes and every layer's windows (the ones
// RunProgram makes), and a watcher that answers them as a user would.
// A test class derives from it, calls setUp() in init() and tearDown() in
// cleanup().
#include "support/ui/UiTest.h"

#include "support/ui/ModalWatcher.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace velmora::app {
class FixedClock;
class Session;
}  // namespace velmora::app
namespace velmora::db {
class Database;
}
namespace velmora::ui {
class QtDialogs;
struct ProgramWindows;
}  // namespace velmora::ui

namespace velmora::test {

class WholeProgramTest : public QObject {
public:
    // A demo installation ending 2026.04 made in `folder`; what velmora-demo
    // said.
    static std::string makeDemo(const std::filesystem::path& folder);

protected:
    WholeProgramTest();
    ~WholeProgramTest() override;

    // `prepare` fills the installation folder before the program is made.
    void setUp(const std::function<void(const std::filesystem::path& installation)>& prepare);
    void tearDown();

    // Login with a first password, the period 2026.04; the start-up ran whole.
    void startUp();
    // Every box and window answered, nothing unexpected.
    void checkWatcher();
    // The rows of a query, "|" after each value.
    std::string query(const std::string& sql);

    std::unique_ptr<TempDir> work;
    std::filesystem::path installation;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<db::Database> dbs;
    std::unique_ptr<ui::QtDialogs> dialogs;
    std::unique_ptr<ui::ProgramWindows> program;
    std::unique_ptr<ModalWatcher> watcher;

private:
    std::filesystem::path previousDir_;
};

} // namespace velmora::test
