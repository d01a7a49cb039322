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
class Tejcim;
class Tszweb;

class ExchangeWindows : private exchange::ShipmentWindows, private exchange::ImportWindows {
public:
    ExchangeWindows(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                    RegisterWindows& registerWindows, TAlapkeres& location);

    // "Floppy-küldemény RUV-számára", the two imports and "E-jelentés
    // oldalának címe", through the guard.
    MenuCommands commands();

    // The register in sending mode, unless the period is refused.
    void openForSending();
    // "Adatküldés".
    void send();
    // "Elszámolt lapok beolvasása RUV-től".
    void importBilled();
    // "Szerződések beolvasása RUV-től".
    void importContracts();

    // "E-jelentés oldalának címe": the page's address shown and changed.
    void changeEReportAddress();

    // The e-report window once it has been shown, else null.
    Tszweb* eReportWindow() const { return szweb_; }
    // The address window.
    Tejcim* eReportAddressWindow() const { return ejcim_; }

private:
    bool eReport() override;
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
    Tejcim* ejcim_;
    Tszweb* szweb_ = nullptr;  // owned by the register, made when first shown
};

} // namespace velmora::ui
