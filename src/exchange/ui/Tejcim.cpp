#include "exchange/ui/Tejcim.h"

#include "app/Dialogs.h"
#include "app/UserError.h"
#include "exchange/EReport.h"
#include "widgets/Buttons.h"
#include "widgets/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

Tejcim::Tejcim(QWidget* parent, app::Dialogs& dialogs, std::string dataDir)
    : QDialog(parent), dialogs_(dialogs), dataDir_(std::move(dataDir)) {
    setObjectName(QStringLiteral("Tejcim"));
    setWindowTitle(QString::fromUtf8("Az e-jelentés oldalának címe"));
    auto* label = new QLabel(QString::fromUtf8("A KAB-tól kapott e-jelentés oldal címe (http:// vagy https://):"),
                             this);
    cim = new QLineEdit(this);
    cim->setObjectName(QStringLiteral("cim"));
    cim->setMinimumWidth(cim->fontMetrics().averageCharWidth() * 60);
    label->setBuddy(cim);
    OK = NamedButton(this, "OK", "OK", "A cím megtartása");
    megsem = NamedButton(this, "megsem", "Mégsem", "Kilépés a cím megváltoztatása nélkül");
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, [this] { okClick(); });
    connect(megsem, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OK);
    buttons->addWidget(megsem);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(cim);
    layout->addLayout(buttons);
}

std::optional<std::string> Tejcim::run() {
    kept_.reset();
    cim->setText(qs(exchange::eReportAddress(dataDir_).value_or(std::string())));
    cim->selectAll();
    cim->setFocus();
    exec();
    return kept_;
}

// A refused address keeps the window open with the text as typed.
void Tejcim::okClick() {
    const std::string typed = ss(cim->text());
    try {
        exchange::saveEReportAddress(dataDir_, typed);
    } catch (const app::UserError& e) {
        dialogs_.error(e.what());
        cim->setFocus();
        return;
    } catch (const std::exception& e) {  // the file could not be written
        dialogs_.error("Hiba a lefutásban!", e.what());
        cim->setFocus();
        return;
    }
    kept_ = exchange::eReportAddress(dataDir_);
    accept();
}

} // namespace velmora::ui
