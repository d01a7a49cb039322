#include "masterdata/ui/Tszerzmut.h"

#include "app/Dialogs.h"
#include "db/Database.h"
#include "masterdata/MasterData.h"
#include "masterdata/ui/ContractFrames.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>
#include <vector>

namespace velmora::ui {

namespace {

using store::tableOf;

// "<intkod> <inte> szerződéses adatai" from the current PART row.
QString captionFor(const db::Table& part) {
    return qs(part.text("intkod") + " " + part.text("inte")) + QString::fromUtf8(" szerződéses adatai");
}

} // namespace

Tszerzmut::Tszerzmut(db::Database& dbs, app::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      part_(tableOf(dbs, store::schema::PART())),
      hszerz_(tableOf(dbs, store::schema::HSZERZ())),
      hszolgsz_(tableOf(dbs, store::schema::HSZOLGSZ())),
      hterulet_(tableOf(dbs, store::schema::HTERULET())),
      hthely_(tableOf(dbs, store::schema::HTHELY())) {
    setObjectName("szerzmut");
    setWindowTitle(QString::fromUtf8("Szerződéses adatok megmutatása"));

    szerzkep1 = new Tszerzkep(hszerz_, this);
    szolgaltato = new ContractDetails(hszerz_, this);
    Dolgkep1 = new TDolgkep(hszolgsz_, this);
    terulkep1 = new Tterulkep(hterulet_, this);
    thelykep1 = new Tthelykep(hthely_, this);
    Kilepes = new QPushButton(QString::fromUtf8("Kilépés"), this);
    Kilepes->setObjectName("Kilepes");
    setHint(Kilepes, QString::fromUtf8("Visszalépés a főmenübe"));
    connect(Kilepes, &QPushButton::clicked, this, &QDialog::reject);

    // A panel entered after a move in the grid shows the rows of the period
    // now selected.
    for (RecordPanel* panel : std::initializer_list<RecordPanel*>{Dolgkep1, terulkep1, thelykep1}) {
        db::Table* table = &panel->table();
        connect(panel, &RecordPanel::entered, this, [this, table] { filterDetails({table}); });
    }

    auto* grid = new QGridLayout;
    grid->addWidget(szerzkep1, 0, 0);
    grid->addWidget(szolgaltato, 0, 1);
    grid->addWidget(Dolgkep1, 1, 0);
    auto* right = new QVBoxLayout;
    right->addWidget(terulkep1);
    right->addWidget(thelykep1);
    grid->addLayout(right, 1, 1);
    grid->setColumnStretch(0, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Kilepes);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    InstallHelpKey(this);
}

void Tszerzmut::Szerzds1Click() {
    try {
        hszerz_.setFilter(masterdata::kContractListFilter);
        hszerz_.last();
        setWindowTitle(captionFor(part_));
    } catch (const std::exception& e) {
        dialogs_.error(e.what());
        hszerz_.clearFilter();
        return;
    }
    exec();
    hszerz_.clearFilter();
}

void Tszerzmut::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceFrom(this, parentWidget());
    filterDetails({&hszolgsz_, &hterulet_, &hthely_});
}

void Tszerzmut::filterDetails(std::initializer_list<db::Table*> tables) {
    if (!hszerz_.isOpen()) return;
    std::vector<db::Table*> open;
    for (db::Table* t : tables)
        if (t->isOpen()) open.push_back(t);
    try {
        masterdata::ApplyContractFilter(hszerz_, open);
    } catch (const std::exception& e) {
        dialogs_.error(e.what());
    }
}

void Tszerzmut::done(int result) {
    for (db::Table* t : {&hszolgsz_, &hszerz_, &hthely_, &hterulet_}) t->clearFilter();
    QDialog::done(result);
}

} // namespace velmora::ui
