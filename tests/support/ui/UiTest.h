#pragma once
// Window tests: each test class registers itself and the one test program
// runs them all under one QApplication (offscreen).
// Qt's headers come first: moc reads this file's includes and stumbles over
// the standard library's C++20 headers unless Qt has set up its macros.
#include <QApplication>
#include <QDialog>
#include <QTest>

#include "app/Clock.h"
#include "app/Session.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::db {
class Database;
}

namespace velmora::test {

int registerUiTest(const char* name, std::function<QObject*()> make);

#define VELMORA_UI_TEST(Class) \
    static const int Class##Registered = ::velmora::test::registerUiTest(#Class, [] { return new Class; })

// Runs `act` on the next modal window once it is open (from inside the exec()
// that the code under test starts). The window is closed as rejected if
// `act` leaves it open, so a failing test never hangs.
void onNextModal(std::function<void(QWidget*)> act);

// Puts back the test program's own last guard: a failure that escapes an
// event handler fails the running test class (the program's guard would
// show it in a box).
void restoreLastGuard();

// Types `text` into the focused control of `widget` key by key; letters
// that no plain key gives (á, ő) arrive as key events with their text.
void typeText(QWidget* widget, const QString& text);

// The control of `window` with that name; fails the test when missing.
template <class W>
W* control(QObject* window, const char* name) {
    W* w = window->findChild<W*>(name);
    if (!w) QTest::qFail((std::string("no control ") + name).c_str(), __FILE__, __LINE__);
    return w;
}

// A data directory with whatever tables a test creates.
struct DataDir {
    TempDir dir;
    std::string path() const { return dir.str() + "/"; }
};

// ZARAS in the layout of the program, with (period, closing date) rows.
void makeZaras(db::Database& dbs, const std::vector<std::pair<std::string, std::string>>& rows);

// Today is 2024.06.10 in every window test.
inline app::Date testToday() { return {2024, 6, 10}; }

} // namespace velmora::test
