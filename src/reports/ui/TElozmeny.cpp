#include "reports/ui/TElozmeny.h"

#include "reports/PageFrame.h"
#include "reports/ui/ReportPreview.h"
#include "store/History.h"
#include "store/HistoryRead.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/Buttons.h"
#include "widgets/FieldExits.h"
#include "widgets/Help.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

namespace history = store::history;

// The lines as the grid shows them; the values are read only when painted,
// so fifteen years of history fill the grid at once.
class HistoryModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setLines(std::vector<reports::HistoryLine> lines) {
        beginResetModel();
        lines_ = std::move(lines);
        endResetModel();
    }
    const std::vector<reports::HistoryLine>& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        const reports::HistoryLine& l = lines_.at(static_cast<size_t>(index.row()));
        const std::string* values[kColumns] = {&l.ido,  &l.felh, &l.muvelet, &l.lap, &l.taj,
                                               &l.mezo, &l.regi, &l.uj,      &l.megjegyzes};
        return qs(*values[index.column()]);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const headings[kColumns] = {"Idő",        "Felhasználó", "Művelet",
                                                       "Lap",        "TAJ",         "Mező",
                                                       "Régi érték", "Új érték",    "Megjegyzés"};
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
        return QString::fromUtf8(headings[section]);
    }

private:
    static constexpr int kColumns = 9;
    std::vector<reports::HistoryLine> lines_;
};

namespace {

QLabel* labelFor(QWidget* parent, const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

QComboBox* choiceBox(QWidget* parent, const char* name, const char* hint) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setStatusTip(QString::fromUtf8(hint));
    box->setToolTip(QString::fromUtf8(hint));
    return box;
}

} // namespace

TElozmeny::TElozmeny(QWidget* parent, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                     const CommandGuard& guard)
    : QDialog(parent), session_(session), db_(dbs), dialogs_(dialogs), guard_(guard) {
    setObjectName(QStringLiteral("TElozmeny"));
    setWindowTitle(QString::fromUtf8("Előzmények"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    Feltetelek = new QGroupBox(QString::fromUtf8("Feltételek"), this);
    Feltetelek->setObjectName(QStringLiteral("Feltetelek"));
    Tol = PanelEdit(Feltetelek, "Tol", 7, "Az első időszak, amelynek lapjai kellenek (ÉÉÉÉ.HH)");
    Ig = PanelEdit(Feltetelek, "Ig", 7, "Az utolsó időszak, amelynek lapjai kellenek (ÉÉÉÉ.HH)");
    Taj = PanelEdit(Feltetelek, "Taj", 9, "Csak ennek a betegnek a lapjai (TAJ szám)");
    Muvelet = choiceBox(Feltetelek, "Muvelet", "Csak ez a művelet");
    Muvelet->addItem(QString());
    for (const std::string& a : history::actions()) Muvelet->addItem(qs(a));
    Felhasznalo = choiceBox(Feltetelek, "Felhasznalo", "Csak ennek a felhasználónak a változásai");
    Szures = NamedButton(Feltetelek, "Szures", "Szűrés", "A feltételeknek megfelelő változások megjelenítése");
    auto* g = new QGridLayout(Feltetelek);
    g->addWidget(labelFor(Feltetelek, "Időszaktól:", Tol), 0, 0);
    g->addWidget(Tol, 0, 1);
    g->addWidget(labelFor(Feltetelek, "Időszakig:", Ig), 0, 2);
    g->addWidget(Ig, 0, 3);
    g->addWidget(labelFor(Feltetelek, "TAJ szám:", Taj), 0, 4);
    g->addWidget(Taj, 0, 5);
    g->addWidget(labelFor(Feltetelek, "Művelet:", Muvelet), 1, 0);
    g->addWidget(Muvelet, 1, 1, 1, 3);
    g->addWidget(labelFor(Feltetelek, "Felhasználó:", Felhasznalo), 1, 4);
    g->addWidget(Felhasznalo, 1, 5);
    g->addWidget(Szures, 0, 6, 2, 1);

    model_ = new HistoryModel(this);
    Sorok = new QTableView(this);
    Sorok->setObjectName(QStringLiteral("Sorok"));
    Sorok->setModel(model_);
    Sorok->setSelectionBehavior(QAbstractItemView::SelectRows);
    Sorok->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Sorok->verticalHeader()->hide();
    Sorok->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {125, 100, 110, 100, 80, 70, 120, 120};
    for (int c = 0; c < 8; ++c) Sorok->setColumnWidth(c, widths[c]);

    Darab = new QLabel(this);
    Darab->setObjectName(QStringLiteral("Darab"));
    Nyomtat = NamedButton(this, "Nyomtat", "Nyomtatás", "A megjelenített változások nyomtatása vagy mentése PDF-be");
    Kilep = NamedButton(this, "Kilep", "Kilépés", "Vissza");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Darab);
    buttons->addStretch(1);
    buttons->addWidget(Nyomtat);
    buttons->addWidget(Kilep);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Feltetelek);
    layout->addWidget(Sorok, 1);
    layout->addLayout(buttons);

    guard_.onClick(Szures, this, [this] { applyChoice(); });
    guard_.onClick(Nyomtat, this, [this] { print(); });
    connect(Kilep, &QPushButton::clicked, this, &QDialog::reject);
    InstallHelpKey(this);
    MakeResizable(this, QSize(1000, 560));
}

const std::vector<reports::HistoryLine>& TElozmeny::lines() const { return model_->lines(); }

void TElozmeny::show(std::vector<reports::HistoryLine> lines) {
    Darab->setText(QString::fromUtf8("%1 sor").arg(lines.size()));
    model_->setLines(std::move(lines));
    if (model_->rowCount({}) > 0) Sorok->selectRow(0);
}

void TElozmeny::fillUsers() {
    const QString was = Felhasznalo->currentText();
    Felhasznalo->clear();
    Felhasznalo->addItem(QString());
    for (const std::string& u : history::historyUsers(store::tableOf(db_, store::schema::ELOZMENY())))
        Felhasznalo->addItem(qs(u));
    Felhasznalo->setCurrentText(was);
}

void TElozmeny::runAll() {
    title_ = reports::kHistoryTitle;
    setWindowTitle(QString::fromUtf8("Előzmények"));
    Feltetelek->setVisible(true);
    const std::string year = session_.mIdoszak.substr(0, 4);
    if (Tol->text().isEmpty() && Ig->text().isEmpty() && year.size() == 4) {
        Tol->setText(qs(year + ".01"));
        Ig->setText(qs(session_.mIdoszak));
    }
    fillUsers();
    if (!applyChoice()) show({});
    Tol->setFocus(Qt::OtherFocusReason);
    exec();
}

void TElozmeny::runSheet(const sheets::SheetKey& key) {
    const std::string sheet = key.idoszak + "/" + key.sorsz + key.resz;
    title_ = "Az elszámolási lap előzményei: " + sheet;
    subtitle_.clear();
    setWindowTitle(qs("Előzmények – " + sheet));
    Feltetelek->setVisible(false);
    show(reports::historyLines(
        history::sheetHistory(store::tableOf(db_, store::schema::ELOZMENY()), key.idoszak, key.sorsz, key.resz)));
    Sorok->setFocus(Qt::OtherFocusReason);
    exec();
}

bool TElozmeny::applyChoice() {
    reports::HistoryChoice choice{ss(Tol->text().trimmed()), ss(Ig->text().trimmed()), ss(Taj->text().trimmed()),
                                  ss(Muvelet->currentText()), ss(Felhasznalo->currentText())};
    if (const auto problem = reports::historyChoiceProblem(choice)) {
        dialogs_.error(*problem);
        return false;
    }
    subtitle_ = reports::historyChoiceText(choice);
    show(reports::historyLines(
        history::readHistory(store::tableOf(db_, store::schema::ELOZMENY()), reports::historyFilter(choice))));
    return true;
}

void TElozmeny::print() {
    const reports::Report report =
        reports::historyReport(lines(), title_, subtitle_, reports::printedAtNow());
    if (!showReport(this, report, reports::historyTable(lines(), title_), session_, dialogs_))
        dialogs_.error(reports::kNoHistory);
}

} // namespace velmora::ui
