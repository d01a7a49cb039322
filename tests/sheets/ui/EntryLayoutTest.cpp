// The entry window's pages as the user sees them: every control inside the
// window, no label cut, the 31 days of a long month in view; and the
// activity chooser's codes, place and fresh start. With VELMORA_SHOTS set
// to a directory, the three pages and the chooser are saved there as
// pictures.
#include "support/programs/SheetProgram.h"

#include "sheets/SheetForm.h"
#include "sheets/ui/SheetWindows.h"
#include "sheets/ui/Tlapuj.h"
#include "sheets/ui/Ttevki.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <memory>

using namespace velmora;

namespace {

// What of the page's controls lies outside the window or shows its text cut.
QStringList cutOff(QWidget* window, QWidget* page) {
    QStringList out;
    const QRect inside = window->rect();
    for (QWidget* c : page->findChildren<QWidget*>()) {
        if (!c->isVisible() || !(qobject_cast<QLabel*>(c) || qobject_cast<QLineEdit*>(c) || qobject_cast<QCheckBox*>(c)))
            continue;
        const QString name = c->objectName().isEmpty() ? c->property("text").toString() : c->objectName();
        if (!inside.contains(QRect(c->mapTo(window, QPoint(0, 0)), c->size()))) out << name + " outside";
        // The diagnoses' names may be cut at the window's edge by design.
        if (name.startsWith("bno")) continue;
        if (auto* l = qobject_cast<QLabel*>(c); l && l->width() < l->sizeHint().width()) out << name + " cut";
        if (auto* b = qobject_cast<QCheckBox*>(c); b && b->width() < b->sizeHint().width()) out << name + " cut";
        if (c->height() < c->minimumSizeHint().height()) out << name + " too low";
    }
    return out;
}

void openTevki(ui::Ttevki& tevki, std::function<void(QWidget*)> act) {
    test::onNextModal(std::move(act));
    tevki.exec();
}

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
}

} // namespace

class EntryLayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SheetProgram> p;

private slots:
    void init() { p = std::make_unique<test::SheetProgram>(); }
    void cleanup() { p.reset(); }

    void everyPageFitsTheWindow() {
        p->dialogs().answerYes();
        QStringList problems;
        int daysShown = 0;
        test::onNextModal([&](QWidget* modal) {
            auto& w = p->lapuj();
            QVERIFY(QTest::qWaitForWindowActive(modal));
            // Names in the displays, as a stored sheet shows them.
            test::typeInto(w, "m_taj", test::kPatientTaj);
            test::tabOut();
            test::typeInto(w, "m_alapb", "C3490");
            test::tabOut();
            const QByteArray shots = qgetenv("VELMORA_SHOTS");
            for (int i = 0; i < w.PC1->count(); ++i) {
                w.PC1->setCurrentIndex(i);
                test::settle();
                for (const QString& problem : cutOff(&w, w.PC1->widget(i)))
                    problems << w.PC1->tabText(i) + ": " + problem;
                if (!shots.isEmpty())
                    w.grab().save(QString::fromLocal8Bit(shots) + QString("/tlapuj-page%1.png").arg(i + 1));
            }
            for (int d = 1; d <= 31; ++d)
                if (w.control("aptaj" + std::to_string(d))->isVisible()) ++daysShown;
        });
        p->windows->newSheet(sheets::SheetKind::Full);
        QCOMPARE(problems, QStringList{});
        QCOMPARE(daysShown, 31);
    }

    // Tab walks the controls in the form's order, over the three pages.
    void tabOrderIsTheFormsOrder() {
        std::vector<std::string> walked;
        test::onNextModal([&](QWidget*) {
            auto& w = p->lapuj();
            const auto& order = sheets::SheetForm::textControls();
            QWidget* start = w.control(order.front());
            QWidget* c = start;
            do {
                const std::string name = c->objectName().toStdString();
                if (std::find(order.begin(), order.end(), name) != order.end() && w.control(name) == c)
                    walked.push_back(name);
                c = c->nextInFocusChain();
            } while (c != start);
        });
        p->windows->newSheet(sheets::SheetKind::Full);
        QCOMPARE(walked, sheets::SheetForm::textControls());
    }

    void activityChooserGivesTheCodeOfTheChosenLines_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("code");
        QTest::newRow("1, 5 and 8") << QList<int>{0, 4, 7} << "1   5  8";
        QTest::newRow("2 and 5") << QList<int>{1, 4} << " 2  5   ";
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7} << "12345678";
    }
    void activityChooserGivesTheCodeOfTheChosenLines() {
        QFETCH(QList<int>, rows);
        QFETCH(QString, code);
        ui::Ttevki& tevki = *p->windows->tevki();
        QStringList lines;
        openTevki(tevki, [&](QWidget* w) {
            auto* list = test::control<QListWidget>(w, "LB1");
            for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
            for (int row : rows) clickRow(list, row);
            QTest::mouseClick(test::control<QPushButton>(w, "BB2"), Qt::LeftButton);
        });
        QCOMPARE(lines.size(), 8);
        QCOMPARE(lines.first(), QString::fromUtf8("1 Szakápolás"));
        QCOMPARE(lines.last(), QString::fromUtf8("8 Gyógyszerelés tervezés/ellenörzés"));
        QCOMPARE(QString::fromStdString(tevki.tevszov), code);

        // Opened again: nothing chosen; "Kilépés" gives no code.
        int selected = -1;
        openTevki(tevki, [&](QWidget* w) {
            selected = int(test::control<QListWidget>(w, "LB1")->selectedItems().size());
            QTest::mouseClick(test::control<QPushButton>(w, "BB1"), Qt::LeftButton);
        });
        QCOMPARE(selected, 0);
        QCOMPARE(tevki.tevszov, std::string());
    }

    void activityChooserOpensOverTheEntryWindow() {
        ui::Ttevki& tevki = *p->windows->tevki();
        ui::Tlapuj& entry = p->lapuj();
        entry.move(100, 80);
        entry.show();
        QPoint opened;
        QSize size;
        openTevki(tevki, [&](QWidget* w) {
            opened = w->frameGeometry().topLeft();
            size = w->size();
            if (const QByteArray shots = qgetenv("VELMORA_SHOTS"); !shots.isEmpty())
                w->grab().save(QString::fromLocal8Bit(shots) + "/ttevki.png");
        });
        entry.hide();
        const QRect r = entry.frameGeometry();
        QCOMPARE(opened, QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2 + 5));
        QVERIFY(size.width() >= 307 && size.height() >= 154);
    }
};

VELMORA_UI_TEST(EntryLayoutTest);

#include "EntryLayoutTest.moc"
