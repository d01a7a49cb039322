// The entry window's controls: the top panel and the three pages, with the
// system's labels, hints and object names, in the tab order of the form.
#include "sheets/Sheet.h"
#include "sheets/SheetForm.h"
#include "sheets/ui/Tlapuj.h"
#include "widgets/DateEdit.h"
#include "widgets/FieldEdit.h"
#include "widgets/FieldExits.h"
#include "widgets/Hint.h"
#include "widgets/MaskedEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include <string>

namespace velmora::ui {

namespace {

QLabel* label(QWidget* parent, const char* text, QWidget* buddy = nullptr) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    if (buddy) l->setBuddy(buddy);
    return l;
}

// As wide as `chars` characters of the widest kind the control takes.
void fitWidth(QWidget* control, int chars, bool digits) {
    const QFontMetrics fm(control->font());
    const int text = digits ? fm.horizontalAdvance(QString(chars, u'0')) : fm.averageCharWidth() * chars;
    control->setFixedWidth(text + 14);
}

QGroupBox* group(QWidget* parent, const char* name, const char* title) {
    auto* g = new QGroupBox(QString::fromUtf8(title), parent);
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

template <class L>
L* tight(L* layout) {
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    return layout;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets) {
    auto* r = new QHBoxLayout;
    r->setSpacing(4);
    for (QWidget* w : widgets) r->addWidget(w);
    r->addStretch(1);
    return r;
}

std::string numbered(const char* name, int n) { return name + std::to_string(n); }

} // namespace

template <class W>
W* Tlapuj::bind(W* widget) {
    controls_.emplace_back(widget->objectName().toStdString(), widget);
    return widget;
}

QLineEdit* Tlapuj::edit(QWidget* parent, const char* name, const char* hint) {
    const int width = sheets::controlWidth(name);
    QLineEdit* e = bind(CodePageEdit(parent, name, width, hint));
    if (width > 0 && width <= 9) fitWidth(e, width, true);
    if (width > 9) fitWidth(e, width, false);
    return e;
}

QLineEdit* Tlapuj::dateEdit(QWidget* parent, const char* name, const char* hint) {
    QLineEdit* e = bind(DateEdit(parent, name, hint));
    fitWidth(e, 10, true);
    return e;
}

QLabel* Tlapuj::display(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    return bind(l);
}

QWidget* Tlapuj::buildTopPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    m_sorsz = display(panel, "m_sorsz");
    m_idosz = display(panel, "m_idosz");
    for (QLabel* l : {m_sorsz, m_idosz}) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        fitWidth(l, 8, true);
    }
    auto* layout = tight(new QHBoxLayout(panel));
    layout->addWidget(label(panel, "Lapsorszám"));
    layout->addWidget(m_sorsz);
    layout->addSpacing(24);
    layout->addWidget(label(panel, "Elszámolási időszak"));
    layout->addWidget(m_idosz);
    layout->addStretch(1);
    return panel;
}

// --- page "1.oldal" -----------------------------------------------------------

QWidget* Tlapuj::buildPatientPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TS1"));
    auto* layout = tight(new QVBoxLayout(page));
    layout->addWidget(buildPatientGroup(page));
    layout->addWidget(buildDiagnosisGroup(page));
    layout->addWidget(buildDoctorGroup(page));
    layout->addStretch(1);
    return page;
}

QGroupBox* Tlapuj::buildPatientGroup(QWidget* page) {
    QGroupBox* g = group(page, "GB1", "A beteg adatai");
    QLineEdit* aztip = edit(g, "m_aztip", "Azonosító kód (Alapértelmezés: 1)");
    QLineEdit* taj = edit(g, "m_taj", "Beteg TAJ számának kitöltése (segítség az egér dupla kattintásával)");
    QLineEdit* nev = edit(g, "m_nev");
    bnem = new QComboBox(g);
    bnem->setObjectName(QStringLiteral("bnem"));
    bnem->addItems({QString::fromUtf8("Férfi"), QString::fromUtf8("Nő")});
    bnem->setCurrentIndex(-1);
    setHint(bnem, QString::fromUtf8("A beteg neme"));
    bind(bnem);
    QLineEdit* kozig = edit(g, "m_kozigkod",
                            "A beteg címének kitöltése (segítség a közigazgatási kódhoz az egér dupla kattintásával)");
    QLineEdit* cim1 = edit(g, "m_cim1");
    QLineEdit* cim2 = edit(g, "m_cim2");
    QLineEdit* szh = edit(g, "m_szh");
    QLineEdit* szido = dateEdit(g, "m_szido", "Születési dátum");
    CB1 = new QCheckBox(QString::fromUtf8("Területi pótlék"), g);
    CB1->setObjectName(QStringLiteral("CB1"));
    bind(CB1);

    P1 = new QWidget(g);
    P1->setObjectName(QStringLiteral("P1"));
    QLineEdit* terkat = edit(P1, "m_terkat", "Térítési kategóris (Alapértelmezés: 01)");
    QLineEdit* allp = edit(P1, "m_allp", "Beteg állampolgársága (Alapértelmezés: HUN)");
    auto* p1 = new QHBoxLayout(P1);
    p1->setContentsMargins(0, 0, 0, 0);
    p1->setSpacing(4);
    for (QWidget* w : {static_cast<QWidget*>(label(P1, "Térítési kategória", terkat)), static_cast<QWidget*>(terkat)})
        p1->addWidget(w);
    p1->addSpacing(16);
    p1->addWidget(label(P1, "Állampolgárság", allp));
    p1->addWidget(allp);
    p1->addStretch(1);

    auto* grid = tight(new QGridLayout(g));
    grid->addWidget(label(g, "Azonosító típus", aztip), 0, 0);
    grid->addLayout(row({aztip, label(g, "TAJ /Azonosító", taj), taj, label(g, "Neve", nev), nev,
                         label(g, "Neme", bnem), bnem}),
                    0, 1);
    grid->addWidget(label(g, "Címe", kozig), 1, 0);
    grid->addLayout(row({kozig, cim1, cim2}), 1, 1);
    grid->addWidget(label(g, "Születési helye", szh), 2, 0);
    grid->addLayout(row({szh, label(g, "Születési idő", szido), szido, CB1}), 2, 1);
    grid->addWidget(P1, 3, 1);
    grid->setColumnStretch(1, 1);
    return g;
}

QGroupBox* Tlapuj::buildDiagnosisGroup(QWidget* page) {
    QGroupBox* g = group(page, "GB2", "Diagnózisok");
    auto* grid = tight(new QGridLayout(g));
    const char* const fields[][3] = {{"m_fekvd", "Fekvőbeteg-intézeti ápolás diagnózisa (BNO X)", "bno1"},
                                     {"m_alapb", "Alapbetegség (BNO X)", "bno2"},
                                     {"m_kiserd", "Kísérő betegség (BNO X)", "bno3"},
                                     {"m_fodiag", "Ápolást indokló fődiagnózis (BNO X)", "bno4"}};
    int r = 0;
    for (const auto& [name, text, nameLabel] : fields) {
        QLineEdit* code = bind(PanelEdit(g, name, 0, "A BNO kitöltése (segítség az F1 lenyomásával)"));
        // Five letters or digits; letters in capitals, as the codes are
        // stored and as the Z-code rule reads them.
        SetEditMask(code, QStringLiteral(">nnnnn; "));
        fitWidth(code, 5, false);
        QLabel* codeName = display(g, nameLabel);
        // A long name is cut at the window's edge rather than widening it.
        codeName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        grid->addWidget(label(g, text, code), r, 0);
        grid->addWidget(code, r, 1);
        grid->addWidget(codeName, r, 2);
        ++r;
    }
    grid->setColumnStretch(2, 1);
    return g;
}

QGroupBox* Tlapuj::buildDoctorGroup(QWidget* page) {
    QGroupBox* g = group(page, "GB3", "Orvos adatok");
    QLineEdit* eorv = edit(g, "m_eorv", "Az elrendelő orvos kódjának kitöltése (segítség az egér dupla kattintásával)");
    QLineEdit* eorvtip = edit(g, "m_eorvtip", "Az elrendelő orvos kódjának típusa");
    QLineEdit* orv1 = edit(g, "orv1", "Az elrendelő orvos neve");
    QLineEdit* jorv =
        edit(g, "m_jorv", "A javaslatot tevő orvos kódjának kitöltése (segítség az egér dupla kattintásával)");
    QLineEdit* orv2 = edit(g, "orv2", "A javaslatot tevő orvos neve");
    auto* grid = tight(new QGridLayout(g));
    grid->addWidget(label(g, "Elrendelő orvos pecsétszáma", eorv), 0, 0);
    grid->addLayout(row({eorv, label(g, "Típusa", eorvtip), eorvtip}), 0, 1);
    grid->addWidget(label(g, "neve", orv1), 0, 2);
    grid->addWidget(orv1, 0, 3);
    grid->addWidget(label(g, "Javaslatot tevő orvos pecsétszáma", jorv), 1, 0);
    grid->addLayout(row({jorv}), 1, 1);
    grid->addWidget(label(g, "neve", orv2), 1, 2);
    grid->addWidget(orv2, 1, 3);
    grid->setColumnStretch(4, 1);
    return g;
}

// --- page "2.oldal" -----------------------------------------------------------

QWidget* Tlapuj::buildOrderPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TS2"));
    auto* layout = tight(new QVBoxLayout(page));
    layout->addWidget(buildOrderGroup(page));
    layout->addWidget(buildCareGroup(page));
    layout->addStretch(1);
    return page;
}

QGroupBox* Tlapuj::buildOrderGroup(QWidget* page) {
    QGroupBox* g = group(page, "GB4", "Az elrendelés adatai");
    QLineEdit* elrend = dateEdit(g, "m_elrend", "Elrendelés napja");
    QLineEdit* szakvet = dateEdit(g, "m_szakvet", "Szakápolásba vétel kezdete");
    QLineEdit* elviz = edit(g, "m_elviz");
    QLineEdit* gyak = edit(g, "m_gyak");
    QLineEdit* elszam = edit(g, "m_elszam");
    QLineEdit* elszviz = edit(g, "m_elszviz");
    auto* grid = tight(new QGridLayout(g));
    grid->setHorizontalSpacing(8);
    const std::pair<const char*, QLineEdit*> cells[] = {
        {" Az ellátás elrendelésének ideje", elrend}, {"Az ápolásba vétel időpontja", szakvet},
        {"Az elrendelt napok száma", elviz},         {"gyakorisága", gyak},
        {"Hanyadik folyamatos elrendelés", elszam},  {"Az eddig elszámolt napok száma", elszviz}};
    for (int i = 0; i < 6; ++i) {
        const int r = i / 2, c = (i % 2) * 2;
        grid->addWidget(label(g, cells[i].first, cells[i].second), r, c);
        grid->addWidget(cells[i].second, r, c + 1, Qt::AlignLeft);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return g;
}

QGroupBox* Tlapuj::buildCareGroup(QWidget* page) {
    QGroupBox* g = group(page, "GB5", "Az ápolás adatai");
    QLineEdit* lezdat = dateEdit(g, "m_lezdat", "Lezárás napja");

    QGroupBox* a = group(g, "GBa1", "Az ápolást végző(k) tevékenység szerinti felsorolása");
    auto* nurses = tight(new QGridLayout(a));
    nurses->setHorizontalSpacing(6);
    for (int half = 0; half < 2; ++half) {
        nurses->addWidget(label(a, "TAJ-száma"), 0, half * 4 + 1);
        nurses->addWidget(label(a, "neve"), 0, half * 4 + 2);
    }
    for (int k = 1; k <= sheets::kActivities; ++k) {
        const int r = (k - 1) % 4 + 1, c = (k - 1) / 4 * 4;
        QLineEdit* taj = edit(a, numbered("aptev", k).c_str(), "Ápoló TAJ száma");
        QLineEdit* nev = edit(a, numbered("apnev", k).c_str());
        nurses->addWidget(label(a, (std::to_string(k) + ". tevékenység").c_str(), taj), r, c);
        nurses->addWidget(taj, r, c + 1);
        nurses->addWidget(nev, r, c + 2);
    }
    nurses->setColumnMinimumWidth(3, 12);

    auto* layout = tight(new QVBoxLayout(g));
    layout->addLayout(row({label(g, "Az ápolási eset lezárásának ideje", lezdat), lezdat}));
    layout->addWidget(a);
    return g;
}

// --- page "3.oldal" -----------------------------------------------------------

QWidget* Tlapuj::buildVisitPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TS3"));
    auto* layout = tight(new QVBoxLayout(page));
    layout->addWidget(buildVisitGroup(page));
    layout->addStretch(1);
    return page;
}

// Days 1 to 15 on the left, 16 to 31 on the right, each day its date, its
// activity code and its nurse; the day counts below.
QGroupBox* Tlapuj::buildVisitGroup(QWidget* page) {
    QGroupBox* g = group(page, "GB6", "A beteg ellátásának adatai");
    auto* grid = tight(new QGridLayout(g));
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(6);
    for (int half = 0; half < 2; ++half) {
        const int c = half * 4;
        grid->addWidget(label(g, "Dátum"), 0, c, Qt::AlignBottom);
        grid->addWidget(label(g, "Tevékenység"), 0, c + 1, Qt::AlignBottom);
        auto* nurse = new QVBoxLayout;
        nurse->setSpacing(0);
        nurse->addWidget(label(g, "Ápoló"));
        nurse->addWidget(label(g, "TAJ-száma"));
        grid->addLayout(nurse, 0, c + 2);
    }
    for (int d = 1; d <= sheets::kMaxDays; ++d) {
        const int r = d <= 15 ? d : d - 15, c = d <= 15 ? 0 : 4;
        QLabel* date = display(g, numbered("apdat", d).c_str());
        fitWidth(date, 10, true);
        QLineEdit* tev = edit(g, numbered("tev", d).c_str());
        QLineEdit* taj = edit(g, numbered("aptaj", d).c_str(), "Ápoló TAJ száma");
        grid->addWidget(date, r, c);
        grid->addWidget(tev, r, c + 1);
        grid->addWidget(taj, r, c + 2);
    }
    grid->setColumnMinimumWidth(3, 24);
    grid->setColumnStretch(7, 1);

    QLabel* vszam = display(g, "vszam");
    vszame = display(g, "vszame");
    Lv2 = label(g, "Előző részszámlák");
    Lv2->setObjectName(QStringLiteral("Lv2"));
    for (QLabel* l : {vszam, vszame}) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        fitWidth(l, 3, true);
    }
    auto* counts = row({label(g, "Napok száma"), vszam, Lv2, vszame});
    counts->insertSpacing(2, 24);
    grid->addLayout(counts, 17, 0, 1, 8);
    return g;
}

} // namespace velmora::ui
