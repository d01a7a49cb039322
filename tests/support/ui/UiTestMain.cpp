// The window tests' program: one offscreen QApplication, every registered
// test class run in turn.
#include "support/ui/UiTest.h"

#include "db/Database.h"
#include "widgets/GuardedApplication.h"

#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace velmora::test {

namespace {
std::vector<std::pair<const char*, std::function<QObject*()>>>& registry() {
    static std::vector<std::pair<const char*, std::function<QObject*()>>> r;
    return r;
}

// What escapes an event handler in a test lands here instead of in a box
// nobody closes; the test class it happened in fails.
ScriptedDialogs& escapedFailures() {
    static ScriptedDialogs d;
    return d;
}
} // namespace

void restoreLastGuard() {
    static const ui::CommandGuard guard(escapedFailures());
    static_cast<ui::GuardedApplication*>(qApp)->setGuard(&guard);
}

int registerUiTest(const char* name, std::function<QObject*()> make) {
    registry().emplace_back(name, std::move(make));
    return static_cast<int>(registry().size());
}

void onNextModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act), tries = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        // A progress dialog is the program's own, shown when the work takes
        // long (a loaded machine): the window the test answers follows it.
        if (!modal || qobject_cast<QProgressDialog*>(modal)) {
            if (++tries > 500) timer->deleteLater();  // five seconds: the window never came
            return;
        }
        timer->stop();
        timer->deleteLater();
        QPointer<QWidget> guard(modal);
        act(modal);
        // Closed as rejected, without the question a window may ask before
        // it throws away what was typed.
        if (guard && guard->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(guard.data())) dialog->done(QDialog::Rejected);
    });
    timer->start();
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void makeZaras(db::Database& dbs, const std::vector<std::pair<std::string, std::string>>& rows) {
    db::Table& zaras = dbs.table("ZARAS", "Zaras.dbf");
    zaras.close();
    zaras.create({db::FieldDef::character("Idoszak", 7), db::FieldDef::date("Zaras"),
                  db::FieldDef::numeric("Lapoksz", 5), db::FieldDef::date("Ruvkuld"),
                  db::FieldDef::numeric("Alapdij", 10, 5), db::FieldDef::numeric("Eloleg", 10, 1)});
    zaras.open();
    for (const auto& [period, closed] : rows) {
        zaras.append();
        zaras.setField("Idoszak", db::Value(period));
        if (!closed.empty()) zaras.setField("Zaras", db::Value(closed));
        zaras.post();
    }
}

} // namespace velmora::test

// "test_<library> [Class [QtTest options and functions]]": without a class name
// every class runs with the options given.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program does, for the windows that embed a browser.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The program's application object, with its last guard.
    velmora::ui::GuardedApplication app(argc, argv);
    velmora::test::restoreLastGuard();
    const QString only = argc > 1 ? QString(argv[1]) : QString();
    int failed = 0;
    for (const auto& [name, make] : velmora::test::registry()) {
        const bool chosen = only == name;
        if (!only.isEmpty() && !only.startsWith('-') && !chosen) continue;
        std::unique_ptr<QObject> test(make());
        std::vector<char*> args(argv, argv + argc);
        if (chosen) args.erase(args.begin() + 1);
        failed += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
        auto& escaped = velmora::test::escapedFailures();
        for (const std::string& detail : escaped.errorDetails())
            std::fprintf(stderr, "FAIL!  : %s: a failure escaped an event handler: %s\n", name, detail.c_str());
        if (!escaped.errors().empty()) ++failed;
        escaped.clearLog();
    }
    return failed == 0 ? 0 : 1;
}
