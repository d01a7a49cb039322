#include "masterdata/ui/ContractFrames.h"

#include "widgets/BrowseModel.h"
#include "widgets/GridCursor.h"
#include "widgets/GridSaving.h"
#include "widgets/Hint.h"
#include "widgets/Navigator.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {

constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kDate = 10;  // "YYYY.MM.DD"

std::vector<BrowseColumn> contractColumns() {
    auto text = [](const char* field, const char* title) {
        return BrowseColumn{field, QString::fromUtf8(title), 0, "", kLeft, kLeft};
    };
    auto number = [](const char* field, const char* title) {
        return BrowseColumn{field, QString::fromUtf8(title), 0, "", kRight, kLeft};
    };
    return {text("SZKEZD", "Szerz.kezd"),       text("SZVEG", "Szerz.veg"),
            text("FINKOD", "FIN kód"),          number("OSSZNAP", "Nap szám"),
            number("NORMNAP", "Normatív nap"),  number("POTNAP", "Pót nap"),
            number("ORVOS", "Orvos"),           number("GYOGYT", "Gyógytornász"),
            number("DIPL", "Dipl. ápoló"),      number("DIET", "Dietetikus"),
            number("PSZICH", "Pszichológus"),   number("MENTAL", "Mentálhigienes"),
            number("SZOCM", "Szoc.munkás"),     number("HOSPSZ", "Hospice ápoló"),
            number("SZAKAP", "Szakápoló"),      number("FIZIO", "Fizióther.assz."),
            number("OSSZD", "Össz.dolgozó")};
}

} // namespace

Tszerzkep::Tszerzkep(db::Table& hszerz, QWidget* parent)
    : QWidget(parent),
      model_(new BrowseModel(hszerz, contractColumns(), this)),
      grid_(new QTableView(this)),
      navigator_(new Navigator(hszerz, this)) {
    setObjectName("szerzkep1");
    grid_->setObjectName("DBGszerz");
    model_->setTitleBackground(Qt::yellow);
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setTabKeyNavigation(false);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setSectionsClickable(false);
    new GridCursor(grid_, hszerz);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_, 1);
    layout->addWidget(navigator_);
    offerGridSaving(grid_, model_, navigator_);
}

void Tszerzkep::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The rows are there once the window opens: each column as wide as its
    // title or its longest value.
    grid_->resizeColumnsToContents();
}

ContractDetails::ContractDetails(db::Table& hszerz, QWidget* parent)
    : QGroupBox(QString::fromUtf8("A szolgáltató adatai"), parent) {
    setObjectName("Szolgaltato");
    auto* labels = new RecordLabels(hszerz, this);

    auto* head = new QGridLayout;
    head->setColumnStretch(1, 1);
    addRecordRow(head, *labels, this,
                 {captionItem("Szerződés kezdete"), fieldItem("SZKEZD", kDate), captionItem("vége"),
                  fieldItem("SZVEG", kDate)});
    addRecordRow(head, *labels, this, {captionItem("Szerződésszám"), fieldItem("SZSZAM", 10)});
    addRecordRow(head, *labels, this, {captionItem("Finanszírozási kód"), fieldItem("FINKOD", 9)});

    QGroupBox* budget = new QGroupBox(QString::fromUtf8("Lekötött keret"), this);
    budget->setObjectName("Keret");
    auto* budgetRows = new QGridLayout(budget);
    budgetRows->setColumnStretch(1, 1);
    addRecordRow(budgetRows, *labels, budget, {captionItem("Normatív napszám"), fieldItem("NORMNAP", 5)});
    addRecordRow(budgetRows, *labels, budget, {captionItem("Pót napszám"), fieldItem("POTNAP", 5)});
    addRecordRow(budgetRows, *labels, budget, {captionItem("Havi napszám"), fieldItem("OSSZNAP", 5)});

    QGroupBox* staff = new QGroupBox(QString::fromUtf8("Kapacitást meghatározó létszámok"), this);
    staff->setObjectName("Letszamok");
    auto* staffRows = new QGridLayout(staff);
    staffRows->setHorizontalSpacing(8);
    staffRows->setColumnMinimumWidth(2, 8);
    staffRows->setColumnStretch(5, 1);
    struct Entry {
        const char* caption;
        const char* field;
    };
    static const Entry left[] = {{"Orvos", "ORVOS"},
                                 {"Diplomás ápoló", "DIPL"},
                                 {"Gyógytornász", "GYOGYT"},
                                 {"Dietetikus", "DIET"},
                                 {"Pszichológus", "PSZICH"},
                                 {"Mentálhigienes szakember", "MENTAL"},
                                 {"Szociális munkás", "SZOCM"}};
    static const Entry right[] = {{"Hospice ápoló", "HOSPSZ"},
                                  {"Szakápoló", "SZAKAP"},
                                  {"Fizioterápiás asszisztens", "FIZIO"},
                                  {"Összes dolgozó", "OSSZD"}};
    auto place = [&](const Entry* entries, int count, int column) {
        for (int r = 0; r < count; ++r) {
            staffRows->addWidget(new QLabel(QString::fromUtf8(entries[r].caption), staff), r, column);
            staffRows->addWidget(labels->add(entries[r].field, 3, staff), r, column + 1);
        }
    };
    place(left, 7, 0);
    place(right, 4, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(budget);
    layout->addWidget(staff);
    layout->addStretch(1);
}

TDolgkep::TDolgkep(db::Table& hszolgsz, QWidget* parent)
    : RecordPanel(hszolgsz, QString::fromUtf8("Dolgozók adatai"), parent) {
    setObjectName("Dolgkep1");
    setHint(this, QString::fromUtf8("Az ajtuális szerződés dolgozói adatai"));
    addRow({captionItem("Dolgozó sorszáma"), fieldItem("SSORSZAM", 5)});
    addRow({captionItem("Szerződés kezdete"), fieldItem("KEZD", kDate), captionItem("vége"), fieldItem("VEG", kDate)});
    addRow({captionItem("Dolgozó TAJ száma és neve"), fieldItem("TAJ", 9), fieldItem("NEV", 25)});
    addRow({captionItem("Születési hely és idő"), fieldItem("SZHELY", 16), fieldItem("SZIDO", kDate)});
    addRow({captionItem("Szakképesítés megnevezése"), captionItem("A:"), fieldItem("SZAKA", 13), captionItem("B:"),
            fieldItem("SZAKB", 13)});
    addRow({captionItem(""), captionItem("C:"), fieldItem("SZAKC", 13), captionItem("CB:"), fieldItem("SZAKCB", 13)});
    addRow({captionItem("Regisztrált szakápoló"), fieldItem("SZAKCR", 16)});
    addRow({captionItem("Tevékenység típusa"), captionItem("szakáp.:"), fieldItem("TEVSZ", 4), captionItem("kieg.:"),
            fieldItem("TEVK", 4)});
    addRow({captionItem("Heti óraszám"), captionItem("szakáp.:"), fieldItem("ORASZ", 5), captionItem("kieg.:"),
            fieldItem("ORAK", 5), captionItem("össz:"), fieldItem("OSSZO", 5)});
    addRow({captionItem("Foglalkoztatás minősége"), fieldItem("FOGLMIN", 20)});
    addRow({captionItem("Más foglalkoztatói munkaviszony"), fieldItem("MASFOGL", 3), captionItem("hol:"),
            fieldItem("MASHOL", 20)});
    addRow({captionItem(""), captionItem("heti munkaidő"), fieldItem("HETIO", 5)});
}

Tterulkep::Tterulkep(db::Table& hterulet, QWidget* parent)
    : RecordPanel(hterulet, QString::fromUtf8("Területi ellátási adatok"), parent) {
    setObjectName("terulkep1");
    setHint(this, QString::fromUtf8("A területi ellátás megmutatása"));
    addRow({captionItem("Telephely sorszáma"), fieldItem("TSORSZAM", 5)});
    addRow({captionItem("Szerződés kezdete"), fieldItem("KEZD", kDate), captionItem("vége"), fieldItem("VEG", kDate)});
    addRow({captionItem("Terület megnevezése"), fieldItem("KOZIGKOD", 7), fieldItem("HELYNEV", 22)});
    addRow({captionItem("Lakosságszám"), fieldItem("LETSZAM", 7)});
}

Tthelykep::Tthelykep(db::Table& hthely, QWidget* parent)
    : RecordPanel(hthely, QString::fromUtf8("Telephely adatai"), parent) {
    setObjectName("thelykep1");
    addRow({captionItem("Telephely sorszáma"), fieldItem("TSORSZAM", 5)});
    addRow({captionItem("Szerződés kezdete"), fieldItem("KEZD", kDate), captionItem("vége"), fieldItem("VEG", kDate)});
    addRow({captionItem("Címe"), fieldItem("KOZIGKOD", 7), fieldItem("HELYNEV", 22)});
    addRow({captionItem(""), fieldItem("CIM", 30)});
    addRow({captionItem("Heti működési napok száma"), fieldItem("NAP", 3)});
}

} // namespace velmora::ui
