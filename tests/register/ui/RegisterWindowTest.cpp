// The register on the real register logic and the real entry window: its
// three modes, the row colours, marking, and each command's way from the
// key or the popup to the stored rows. With VELMORA_SHOTS set to a
// directory, the register is saved there as a picture in each mode.
#include "support/programs/RegisterProgram.h"

#include "db/Table.h"
#include "register/NewSheets.h"
#include "register/SheetCommands.h"
#include "register/ui/RegisterWindows.h"
#include "register/ui/Tleido.h"
#include "register/ui/Tlapok.h"
#include "register/ui/Treszlap.h"
#include "sheets/SheetStore.h"
#include "sheets/ui/Tlapuj.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/Browse.h"
#include "widgets/BrowseFrame.h"
#include "widgets/DateEdit.h"
#include "widgets/HelpWindow.h"
#include "widgets/Placement.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>

using namespace velmora;
using reg::RegisterMode;
using test::SheetRow;

namespace {

const char* const kProvider = "01 1234 Példa Hospice Szolgálat";

// The middle of a cell of the grid, in its viewport.
QPoint cellCentre(QTableView* grid, int row, int column) {
    return grid->visualRect(grid->model()->index(row, column)).center();
}

// A double click on a row as the mouse gives it: the first click chooses
// the row, the second press is the double click.
void doubleClick(QTableView* grid, int row) {
    const QPoint at = cellCentre(grid, row, 3);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

// The colour the grid shows in the middle of the cell (the "RESZ" column
// of a full invoice holds no text).
QColor shownColour(QTableView* grid, int row) {
    return grid->viewport()->grab().toImage().pixelColor(cellCentre(grid, row, 1));
}

std::optional<sheets::Sheet> stored(test::RegisterProgram& p, const sheets::SheetKey& key) {
    return sheets::loadSheet(p.db(), key);
}

} // namespace

class RegisterWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::RegisterProgram> p;

    void fresh(const std::string& period = "2024.05") {
        p.reset();
        p = std::make_unique<test::RegisterProgram>(period);
    }

private slots:
    void init() { fresh(); }
    void cleanup() { p.reset(); }

    // Caption, status text, buttons and popup of each mode; a sheet of
    // another period painted, the current row in the selection's colours;
    // the filter gone once the window closes.
    void eachModeShowsItsOwnWindow() {
        struct Case {
            RegisterMode mode;
            const char* name;
            const char* suffix;
            const char* status;
            bool kuld, nyomtat, recordingItems, yearItem;
            QColor otherPeriod;
        };
        const QColor silver(0xC0, 0xC0, 0xC0), red(0xFF, 0, 0);
        const Case cases[] = {
            {RegisterMode::Recording, "rogzites", " Elszámolási lapjai", "Elszámolási lapok rögzítése", false, false,
             true, false, silver},
            {RegisterMode::Sending, "kuldes", " Elszámolási lapok küldése", "Elszámolási lapok küldése RUV-felé", true,
             false, false, true, red},
            {RegisterMode::Printing, "nyomtatas", " Elszámolási lapok nyomtatása", "Elszámolási lapok nyomtatása",
             false, true, false, false, silver},
        };
        p->store({{"00001", "", "2024.05"}, {2, 3}});
        p->store({{"00002", "", "2024.04"}, {5}});
        p->store({{"00003", "", "2024.05"}, {6}});
        for (const Case& c : cases) {
            QString started;
            test::inRegister(*p, c.mode, [&](ui::Tlapok& w) {
                QCOMPARE(w.windowTitle(), QString(kProvider) + c.suffix);
                QCOMPARE(p->dialogs().statusText(0), std::string(c.status));
                QCOMPARE(w.pos(), p->owner->frameGeometry().topLeft() + QPoint(10, 50));
                QCOMPARE(w.kuld->isVisible(), c.kuld);
                QCOMPARE(w.nyomtat->isVisible(), c.nyomtat);
                QVERIFY(!w.kuld->isEnabled() && !w.nyomtat->isEnabled());  // nothing to start yet
                for (const char* item : {"jfelvitel1", "Teljesszmla1", "Mdosts1", "Trls1", "Megtekints1", "talakt1",
                                         "Lezrs1"})
                    QVERIFY2(w.findChild<QAction*>(item)->isVisible() == c.recordingItems, item);
                QCOMPARE(w.findChild<QAction*>("Aktulisvlapjai1")->isVisible(), c.yearItem);

                QTableView* grid = p->grid();
                emit grid->customContextMenuRequested(QPoint(4, 4));
                QWidget* popup = QApplication::activePopupWidget();
                QCOMPARE(popup, static_cast<QWidget*>(c.mode == RegisterMode::Recording ? w.PMlap : w.PMKi));
                // The grid saved for a spreadsheet from either menu.
                for (const char* item : {"MentesExcel", "MentesCsv"})
                    QVERIFY2(popup->actions().contains(w.findChild<QAction*>(item)), item);
                popup->close();

                // Rows 00001, 00002, 00003; the cursor on the April sheet.
                p->pointAt("00002");
                grid->setFocus();
                test::settle();
                QCOMPARE(shownColour(grid, 1), grid->palette().color(QPalette::Active, QPalette::Highlight));
                p->pointAt("00003");
                test::settle();
                QCOMPARE(shownColour(grid, 1), c.otherPeriod);
                QCOMPARE(shownColour(grid, 0), grid->palette().color(QPalette::Active, QPalette::Base));
                if (const QByteArray shots = qgetenv("VELMORA_SHOTS"); !shots.isEmpty())
                    w.grab().save(QString::fromLocal8Bit(shots) + "/tlapok-" + c.name + ".png");

                // The shipment and the print start what their windows set.
                w.setSendAction([&] { started = "kuld"; });
                w.setPrintAction([&] { started = "nyomtat"; });
                for (QPushButton* b : {w.kuld, w.nyomtat})
                    if (b->isVisible()) QTest::mouseClick(b, Qt::LeftButton);
                w.setSendAction({});
                w.setPrintAction({});
            });
            QCOMPARE(started, QString(c.kuld ? "kuld" : c.nyomtat ? "nyomtat" : ""));
            QVERIFY(!p->hlapa().filtered());
            QCOMPARE(p->start->session.kuldnez, c.mode != RegisterMode::Recording);
        }
        QCOMPARE(p->dialogs().problems(), std::vector<std::string>{});
    }

    // Enter and a double click toggle one sheet's mark in sending mode; the
    // budget counts the marked sheets' days.
    void enterTogglesTheMarkAndTheBudgetFollows() {
        const sheets::SheetKey first{"00001", "", "2024.05"}, second{"00002", "", "2024.05"};
        p->store({first, {2, 3, 4}});
        p->store({second, {7}});
        test::inRegister(*p, RegisterMode::Sending, [&](ui::Tlapok& w) {
            QCOMPARE(w.STav->text(), QString("0"));
            p->pointAt("00001");
            QTableView* grid = p->grid();
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Return);
            QCOMPARE(stored(*p, first)->jeloles, std::string("*"));
            QCOMPARE(w.STav->text(), QString("3"));
            doubleClick(grid, 1);
            QCOMPARE(stored(*p, second)->jeloles, std::string("*"));
            QCOMPARE(w.STav->text(), QString("4"));
            p->pointAt("00001");
            QTest::keyClick(grid, Qt::Key_Return);
            QCOMPARE(stored(*p, first)->jeloles, std::string());
            QCOMPARE(w.STav->text(), QString("1"));
        });
        QCOMPARE(p->dialogs().problems(), std::vector<std::string>{});
    }

    // The month's command marks, then unmarks; the year's command that
    // follows marks again, as the toggle is shared. Each redraws the grid
    // once and leaves the cursor on its row.
    void monthMarkingTwiceMarksThenUnmarks() {
        const sheets::SheetKey may1{"00001", "", "2024.05"}, may2{"00002", "", "2024.05"},
            april{"00003", "", "2024.04"};
        p->store({may1, {1}});
        p->store({may2, {2, 3}});
        p->store({april, {4}, "2024.04"});
        auto marks = [&] {
            return stored(*p, may1)->jeloles + "|" + stored(*p, may2)->jeloles + "|" + stored(*p, april)->jeloles;
        };
        test::inRegister(*p, RegisterMode::Sending, [&](ui::Tlapok& w) {
            p->pointAt("00002");
            QSignalSpy redraws(w.Lapkep1->browse()->model(), &QAbstractItemModel::modelReset);
            struct Step {
                const char* item;
                std::string marks;
                const char* days;
            };
            for (const Step& s : {Step{"Adotthnap1", "*|*|", "3"}, Step{"Adotthnap1", "||", "0"},
                                  Step{"Aktulisvlapjai1", "*|*|*", "4"}}) {
                redraws.clear();
                w.findChild<QAction*>(s.item)->trigger();
                QCOMPARE(marks(), s.marks);
                QCOMPARE(redraws.size(), 1);
                QCOMPARE(p->hlapa().text("SORSZ"), std::string("00002"));
                QCOMPARE(w.STav->text(), QString(s.days));
            }
        });
        QCOMPARE(p->dialogs().problems(), std::vector<std::string>{});
    }

    // Enter, double click and "Módosítás" ask whether the sheet may change,
    // then open it in the entry window.
    void modifyIsRefusedOrOpensTheEntryWindow() {
        p->store({{"00001", "", "2024.05"}, {1}});
        p->store({{"00002", "", "2024.04"}, {2}});
        p->store({{"00003", "", "2024.03"}, {3}, "xxxx.xx"});
        enum class Route { Enter, DoubleClick, Menu };
        struct Case {
            const char* sorsz;
            Route route;
            const char* refusal;  // "" when the entry window opens
        };
        for (const Case& c : {Case{"00002", Route::Enter, reg::kNotThisPeriod},
                              Case{"00003", Route::Menu, reg::kFromFund}, Case{"00001", Route::DoubleClick, ""},
                              Case{"00001", Route::Enter, ""}}) {
            p->dialogs().clearLog();
            QString title, number;
            bool saveOn = false;
            QString opened;
            test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok& w) {
                p->pointAt(c.sorsz);
                QTableView* grid = p->grid();
                grid->setFocus();
                opened = test::windowFrom(
                    [&] {
                        switch (c.route) {
                        case Route::Enter: QTest::keyClick(grid, Qt::Key_Return); break;
                        case Route::DoubleClick: doubleClick(grid, p->hlapa().position()); break;
                        case Route::Menu: w.findChild<QAction*>("Mdosts1")->trigger(); break;
                        }
                    },
                    [&](QWidget*) {
                        title = p->lapuj().windowTitle();
                        number = test::shown(p->lapuj(), "m_sorsz");
                        saveOn = p->lapuj().ment->isEnabled();
                        // Placed from the register.
                        QCOMPARE(p->lapuj().pos(), w.frameGeometry().topLeft() + QPoint(10, 50));
                    });
            });
            if (*c.refusal) {
                QCOMPARE(opened, QString());
                QCOMPARE(p->dialogs().problems(), std::vector<std::string>{c.refusal});
            } else {
                QCOMPARE(opened, QString("Tlapuj"));
                QCOMPARE(title, QString("Elszámolási lap módosítása"));
                QCOMPARE(number, QString(c.sorsz));
                QVERIFY(saveOn);
                QCOMPARE(p->dialogs().problems(), std::vector<std::string>{});
            }
        }
    }

    // "Megtekintés" shows the sheet read only.
    void viewShowsTheSheetReadOnly() {
        p->store({{"00004", "", "2024.03"}, {3, 9}});
        QString title, day9;
        bool saveOn = true;
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok&) {
            p->pointAt("00004");
            const QString opened = test::windowFrom([&] { QTest::keyClick(p->grid(), Qt::Key_F2); }, [&](QWidget*) {
                title = p->lapuj().windowTitle();
                saveOn = p->lapuj().ment->isEnabled();
                day9 = test::shown(p->lapuj(), "tev9");
            });
            QCOMPARE(opened, QString("Tlapuj"));
        });
        QCOMPARE(title, QString("Elszámolási lap megtekintése"));
        QVERIFY(!saveOn);
        QCOMPARE(day9, QString("1"));
    }

    // A new full or first partial invoice only within the late-report
    // window; the number follows the year's largest.
    void newSheetIsRefusedOutsideTheWindow() {
        struct Case {
            const char* period;
            Qt::Key key;
            const char* refusal;
            const char* number;
        };
        for (const Case& c : {Case{"2007.12", Qt::Key_T, reg::kBefore2008, ""},
                              Case{"2024.01", Qt::Key_E, reg::kLateReport, ""},
                              Case{"2024.05", Qt::Key_E, "", "00057A"}, Case{"2024.02", Qt::Key_T, "", "00057"}}) {
            fresh(c.period);
            p->store({{"00056", "", "2024.02"}, {1}});
            QString opened, number;
            test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok&) {
                opened = test::windowFrom([&] { QTest::keyClick(p->grid(), c.key, Qt::ControlModifier); },
                                          [&](QWidget*) { number = test::shown(p->lapuj(), "m_sorsz"); });
            });
            QVERIFY2(opened == (*c.refusal ? "" : "Tlapuj"), c.period);
            QCOMPARE(number, QString(c.number));
            QCOMPARE(p->dialogs().problems(), *c.refusal ? std::vector<std::string>{c.refusal}
                                                          : std::vector<std::string>{});
        }
    }

    // Ctrl+K lists the year's first parts whose series is not full; Enter
    // on one opens the entry window with the series' next part.
    void nextPartThroughTheChooserFillsTheEntryWindow() {
        auto days = [](int n) {
            std::vector<int> d(static_cast<size_t>(n));
            std::iota(d.begin(), d.end(), 1);
            return d;
        };
        p->store({{"00012", "A", "2024.03"}, days(20)});
        p->store({{"00012", "B", "2024.04"}, days(22)});
        p->store({{"00013", "", "2024.05"}, {1}});
        QString caption, number, before, opened, entry;
        QPoint place;
        std::string listed;
        bool chooserClosed = false;
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok& w) {
            const std::string yearFilter = p->hlapa().filterText();
            opened = test::windowFrom([&] { QTest::keyClick(p->grid(), Qt::Key_K, Qt::ControlModifier); },
                                      [&](QWidget* m) {
                                          auto& chooser = *w.reszlap;
                                          QVERIFY(QTest::qWaitForWindowActive(m));
                                          caption = chooser.windowTitle();
                                          place = chooser.pos() - w.frameGeometry().topLeft();
                                          db::Table& lap = p->hlapa();
                                          for (lap.first(); !lap.eof(); lap.next())
                                              listed += lap.text("SORSZ") + lap.text("RESZ") + " ";
                                          lap.first();
                                          QTableView* grid = chooser.Lapkep1->grid();
                                          grid->setFocus();
                                          entry = test::windowFrom([&] { QTest::keyClick(grid, Qt::Key_Return); },
                                                                   [&](QWidget*) {
                                                                       number = test::shown(p->lapuj(), "m_sorsz");
                                                                       before = test::shown(p->lapuj(), "m_elszviz");
                                                                   });
                                          chooserClosed = !chooser.isVisible();
                                      });
            QCOMPARE(p->hlapa().filterText(), yearFilter);
        });
        QCOMPARE(opened, QString("Treszlap"));
        QCOMPARE(caption, QString(kProvider) + " választható részszámlái");
        QCOMPARE(place, QPoint(10, 60));
        QCOMPARE(listed, std::string("00012A "));
        QCOMPARE(entry, QString("Tlapuj"));
        QCOMPARE(number, QString("00012C"));
        QCOMPARE(before, QString("42"));
        QVERIFY(chooserClosed);
        QCOMPARE(p->dialogs().problems(), std::vector<std::string>{});
    }

    // "Törlés" deletes an unsent sheet and cancels a sent one.
    void deleteRemovesAnUnsentSheetAndCancelsASentOne() {
        test::makeZaras(p->db(), {{"2024.04", "2024.05.06"}});
        const sheets::SheetKey unsent{"00001", "", "2024.05"}, sent{"00002", "", "2024.04"};
        p->store({unsent, {1}});
        p->store({sent, {2}, "2024.04"});
        p->dialogs().answerYes().answerYes();
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok&) {
            p->pointAt("00001");
            QTest::keyClick(p->grid(), Qt::Key_Delete);
            QCOMPARE(p->hlapa().position(), 0);  // back on the first row
            p->pointAt("00002");
            QTest::keyClick(p->grid(), Qt::Key_Delete);
        });
        QVERIFY(!stored(*p, unsent));
        QVERIFY(!store::tableOf(p->db(), store::schema::HLAPB())
                     .lookup("IDOSZAK;SORSZ;RESZ", {db::Value("2024.05"), db::Value("00001"), db::Value("")}, "SORSZ")
                     .asString()
                     .size());
        QCOMPARE(stored(*p, sent)->elkuldve, std::string("YY"));
        QCOMPARE(stored(*p, sent)->modtipus, std::string("S"));
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Question),
                 (std::vector<std::string>{app::text(app::Msg::DeleteSheetQuestion), app::text(app::Msg::CancelSheetQuestion)}));
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Information),
                 std::vector<std::string>{reg::kCancelDone});
    }

    // F3 turns a first partial invoice into a full invoice, both rows.
    void convertTurnsAFirstPartIntoAFullInvoice() {
        p->store({{"00012", "A", "2024.05"}, {4}});
        p->dialogs().answerYes();
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok&) {
            p->pointAt("00012", "A");
            QTest::keyClick(p->grid(), Qt::Key_F3);
        });
        QVERIFY(!stored(*p, {"00012", "A", "2024.05"}));
        const auto full = stored(*p, {"00012", "", "2024.05"});
        QVERIFY(full.has_value());
        QCOMPARE(full->visits[3].tev, std::string("1"));
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Question),
                 std::vector<std::string>{app::text(app::Msg::ToFullQuestion)});
    }

    // F4: a closing date before the last visit is refused when the field
    // is left; a later one is stored with "OK".
    void closingDateIsCheckedAndStored() {
        const sheets::SheetKey key{"00001", "", "2024.05"};
        p->store({key, {5, 20}, "", "", "2024.05.02"});
        p->dialogs().answerYes();
        QRect place;
        QString focusAtStart, focusAfterRefusal, emptyAtStart;
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok& w) {
            p->pointAt("00001");
            const QString opened = test::windowFrom([&] { QTest::keyClick(p->grid(), Qt::Key_F4); }, [&](QWidget* m) {
                auto& leido = *w.leido;
                QVERIFY(QTest::qWaitForWindowActive(m));
                test::settle();
                place = leido.frameGeometry();
                focusAtStart = test::focused();
                emptyAtStart = ui::DateEditText(leido.ME1);
                QTest::keyClicks(leido.ME1, "20240510");
                test::tabOut();
                focusAfterRefusal = test::focused();
                leido.ME1->selectAll();
                QTest::keyClicks(leido.ME1, "20240525");
                QTest::mouseClick(leido.Button1, Qt::LeftButton);
            });
            QCOMPARE(opened, QString("Tleido"));
            const QRect r = w.frameGeometry();
            QCOMPARE(place.topLeft(), QPoint(r.left() + r.width(), r.top() + r.height() / 2));
        });
        QCOMPARE(focusAtStart, QString("ME1"));
        QCOMPARE(emptyAtStart, QString());
        QCOMPARE(focusAfterRefusal, QString("ME1"));
        QCOMPARE(p->dialogs().problems(), std::vector<std::string>{reg::kClosingBeforeVisit});
        QCOMPARE(stored(*p, key)->lezdat, std::string("2024.05.25"));
        QCOMPARE(stored(*p, key)->elkuldve, std::string());
        QVERIFY(p->dialogs().scriptUsedUp());
    }

    // F1 opens the help window at the register's chapter, over the register.
    void f1OpensTheHelpAtTheRegistersChapter() {
        QString opened, chapter;
        QWidget* over = nullptr;
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok& w) {
            opened = test::windowFrom([&] { QTest::keyClick(p->grid(), Qt::Key_F1); }, [&](QWidget* help) {
                chapter = static_cast<ui::HelpWindow*>(help)->chapter();
                over = help->parentWidget();
            });
            QVERIFY(w.isVisible());  // the register stays open under the help
        });
        QCOMPARE(opened, QString("Sugo"));
        QCOMPARE(chapter, QString("nyilvantartas"));
        QCOMPARE(over, static_cast<QWidget*>(&p->lapok()));
    }

    // The register opens at its first size; made larger, the grid shows
    // more rows; closed and opened again, it stands where and as large as
    // it was left, in this run and in the next (the user's places file).
    // With VELMORA_SHOTS set, the larger register is saved as a picture.
    void theRegisterGrowsAndOpensAgainAsItWasLeft() {
        for (int i = 1; i <= 30; ++i) {
            char sorsz[6];
            std::snprintf(sorsz, sizeof sorsz, "%05d", i);
            p->store({{sorsz, "", "2024.05"}, {i % 28 + 1}});
        }
        test::TempDir dir;
        const QString places = QString::fromStdString(dir.str()) + "/ablakok.ini";
        ui::SetWindowPlacesFile(places);
        struct Forget {
            ~Forget() { ui::SetWindowPlacesFile({}); }
        } forget;

        const QRect larger(p->owner->frameGeometry().topLeft() + QPoint(40, 30), QSize(900, 640));
        int firstRows = 0, largerRows = 0;
        QSize firstSize;
        QRect left;
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok& w) {
            QVERIFY(w.minimumSize() != w.maximumSize());  // not a fixed size
            QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
            QCOMPARE(w.pos(), p->owner->frameGeometry().topLeft() + QPoint(10, 50));
            firstSize = w.size();
            firstRows = p->grid()->rowAt(p->grid()->viewport()->height() - 1);
            w.setGeometry(larger);
            test::settle();
            left = w.geometry();
            largerRows = p->grid()->rowAt(p->grid()->viewport()->height() - 1);
            if (const QByteArray shots = qgetenv("VELMORA_SHOTS"); !shots.isEmpty())
                // A palette of 256 colours keeps the help's picture small.
                w.grab().toImage().convertToFormat(QImage::Format_Indexed8).save(QString::fromLocal8Bit(shots) +
                                                                                  "/nyilvantartas.png");
        });
        QVERIFY(larger.width() > firstSize.width() && larger.height() > firstSize.height());
        QCOMPARE(left.size(), larger.size());
        QVERIFY2(largerRows > firstRows + 10, qPrintable(QString("%1 -> %2").arg(firstRows).arg(largerRows)));

        QRect again;
        test::inRegister(*p, RegisterMode::Sending, [&](ui::Tlapok& w) { again = w.geometry(); });
        QCOMPARE(again, left);
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok& w) { again = w.geometry(); });
        QCOMPARE(again, left);  // not a pixel lower on each opening

        // The next run of the program: new windows, the same file.
        fresh();
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok& w) { again = w.geometry(); });
        QCOMPARE(again, left);
        QVERIFY(QFile::exists(places));
    }

    // After "Mentés" in the entry window the register's cursor stands on
    // the saved sheet, whichever row it was on before.
    void theSavedSheetIsUnderTheCursor() {
        for (const char* sorsz : {"00001", "00002", "00003", "00004", "00005"})
            p->store({{sorsz, "", "2024.05"}, {std::atoi(sorsz) + 1}});
        p->dialogs().answerYes();  // "Adatok ellenőrzése rendben! Elmenthetők ?"
        QString opened, under;
        test::inRegister(*p, RegisterMode::Recording, [&](ui::Tlapok&) {
            p->pointAt("00002");
            p->grid()->setFocus();
            opened = test::windowFrom([&] { QTest::keyClick(p->grid(), Qt::Key_T, Qt::ControlModifier); },
                                      [&](QWidget*) {
                                          ui::Tlapuj& w = p->lapuj();
                                          test::fill(w, "m_taj", test::kPatientTaj);
                                          test::fill(w, "m_alapb", "C3490");
                                          test::fill(w, "m_fodiag", "C5000");
                                          test::fill(w, "m_eorv", test::kDoctor);
                                          test::fill(w, "m_elrend", "20240502");
                                          test::fill(w, "m_szakvet", "20240503");
                                          test::fill(w, "m_elviz", "10");
                                          test::fill(w, "m_gyak", "heti 3 alkalom");
                                          test::fill(w, "m_elszam", "2");
                                          test::fill(w, "m_elszviz", "0");
                                          test::fill(w, "aptev1", test::kNurseTaj);
                                          test::fill(w, "aptev5", test::kNurse2Taj);
                                          test::fill(w, "tev20", "1   5");
                                          test::fill(w, "aptaj20", test::kNurseTaj);
                                          QTest::mouseClick(w.ment, Qt::LeftButton);
                                          test::settle();
                                      });
            under = QString::fromStdString(p->hlapa().text("SORSZ"));
            const QModelIndex current = p->grid()->currentIndex();
            QCOMPARE(current.row(), p->hlapa().position());
            QVERIFY(p->grid()->viewport()->rect().intersects(p->grid()->visualRect(current)));
        });
        QCOMPARE(opened, QString("Tlapuj"));
        QCOMPARE(under, QString("00006"));
        QVERIFY(p->dialogs().scriptUsedUp());
        QCOMPARE(p->dialogs().problems(), std::vector<std::string>{});
    }

    // On an empty register no command asks, tells or opens anything.
    void commandsOnAnEmptyRegisterDoNothing() {
        struct Case {
            RegisterMode mode;
            std::vector<Qt::Key> keys;
            std::vector<const char*> items;
        };
        for (const Case& c :
             {Case{RegisterMode::Recording, {Qt::Key_Return, Qt::Key_Delete, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4},
                   {"Mdosts1", "Trls1", "talakt1", "Lezrs1"}},
              Case{RegisterMode::Sending, {Qt::Key_Return}, {"Egylapkivlasztsa1", "Adotthnap1", "Aktulisvlapjai1"}}}) {
            p->dialogs().clearLog();
            QString opened;
            test::inRegister(*p, c.mode, [&](ui::Tlapok& w) {
                opened = test::windowFrom([&] {
                    for (Qt::Key k : c.keys) QTest::keyClick(p->grid(), k);
                    for (const char* item : c.items) w.findChild<QAction*>(item)->trigger();
                });
            });
            QCOMPARE(opened, QString());
            for (const auto& e : p->dialogs().log())
                QVERIFY2(e.kind == test::ScriptedDialogs::Kind::Status, e.text.c_str());
        }
    }
};

VELMORA_UI_TEST(RegisterWindowTest);

#include "RegisterWindowTest.moc"
