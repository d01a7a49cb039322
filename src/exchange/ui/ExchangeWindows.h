#pragma once
// The shipment's windows: "Floppy-küldemény RUV-számára" opens the
// register in sending mode, its "Adatküldés" makes the shipment, and after
// it the e-report page or the location window follows. The fund's answers,
// "Elszámolt lapok beolvasása RUV-től" and "Szerződések beolvasása
// RUV-től", take their folder from the location window. Made once when the
// program starts; the register and the location window are the ones the
// program already has.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "exchange/BilledImport.h"
#include "exchange/Shipment.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

#include <string>

class QWidget;

namespace velmora::ui {

class RegisterWindows;
class TAlapkeres;
class Tszweb;

class ExchangeWindows : private exchange::ShipmentWindows, private exchange::ImportWindows {
public:
    // `eReportAddress` is the fund's page (exchange::eReportAddress).
    ExchangeWindows(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                    RegisterWindows& registerWindows, TAlapkeres& location, const std::string& eReportAddress);

    // "Floppy-küldemény RUV-számára" and the two imports, through the guard.
    MenuCommands commands();

    // The register in sending mode, unless the period is refused.
    void openForSending();
    // "Adatküldés".
    void send();
    // "Elszámolt lapok beolvasása RUV-től".
    void importBilled();
    // "Szerződések beolvasása RUV-től".
    void importContracts();

    // The e-report window once it has been shown, else null.
    Tszweb* eReportWindow() const { return szweb_; }

private:
    void eReport() override;
    std::optional<std::string> copyDirectory() override;
    void closeRegister() override;
    std::optional<std::string> importDirectory() override;

    QWidget& owner_;
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    RegisterWindows& registerWindows_;
    TAlapkeres& location_;
    std::string eReportAddress_;
    Tszweb* szweb_ = nullptr;  // owned by the owner, made when first shown
};

} // namespace velmora::ui
