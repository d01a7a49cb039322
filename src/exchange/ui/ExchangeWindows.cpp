#include "exchange/ui/ExchangeWindows.h"

#include "exchange/ContractImport.h"
#include "exchange/EReport.h"
#include "exchange/ui/Tejcim.h"
#include "exchange/ui/Tszweb.h"
#include "register/ui/RegisterWindows.h"
#include "register/ui/Tlapok.h"
#include "shell/ui/TAlapkeres.h"
#include "widgets/QtProgress.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QPushButton>

namespace velmora::ui {

ExchangeWindows::ExchangeWindows(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                                 RegisterWindows& registerWindows, TAlapkeres& location)
    : owner_(owner), session_(session), db_(dbs), dialogs_(dialogs), guard_(dialogs, &dbs),
      registerWindows_(registerWindows), location_(location), ejcim_(new Tejcim(&owner, dialogs, session.dataDir)) {}

MenuCommands ExchangeWindows::commands() {
    return {{"FloppykldemnyRUVszmra1", guard_.guarded([this] { openForSending(); })},
            {"ElszmolsilapokbeolvassaRUVtl1", guard_.guarded([this] { importBilled(); })},
            {"SzerzdsekbeolvassaRUVtl1", guard_.guarded([this] { importContracts(); })},
            {"Ejelentsoldalnakcme1", guard_.guarded([this] { changeEReportAddress(); })}};
}

void ExchangeWindows::openForSending() {
    const std::optional<std::string> filter =
        exchange::openForSending(db_, session_.mIdoszak, registerWindows_.bulkToggle(), dialogs_);
    if (!filter) return;
    Tlapok* lapok = registerWindows_.lapok();
    lapok->setSendAction([this] { send(); });
    struct SendActionOff {
        Tlapok* lapok;
        ~SendActionOff() { lapok->setSendAction({}); }
    } off{lapok};
    registerWindows_.sending(*filter);
}

void ExchangeWindows::send() {
    QtProgress progress(registerWindows_.lapok());
    exchange::sendMarked(db_, session_, dialogs_, progress, *this);
}

void ExchangeWindows::importBilled() {
    QtProgress progress(&owner_);
    exchange::importBilled(db_, session_, dialogs_, progress, *this);
}

void ExchangeWindows::importContracts() {
    QtProgress progress(&owner_);
    exchange::importContracts(db_, session_, dialogs_, progress, *this);
}

// The location window with the import's caption; its own caption comes back
// afterwards.
std::optional<std::string> ExchangeWindows::importDirectory() {
    return location_.choose("S", exchange::kImportCaption);
}

void ExchangeWindows::changeEReportAddress() { ejcim_->run(); }

// The browser starts only when the page is first wanted; the address is
// asked for when none was given yet. The page belongs to the register it
// is opened from, so it stays in front of it.
bool ExchangeWindows::eReport() {
    std::optional<std::string> address = exchange::eReportAddress(session_.dataDir);
    if (!address) address = ejcim_->run();
    if (!address) return false;
    if (szweb_ && szweb_->address() != QUrl::fromUserInput(qs(*address))) {
        delete szweb_;
        szweb_ = nullptr;
    }
    if (!szweb_)
        szweb_ = new Tszweb(registerWindows_.lapok(),
                            {*address, exchange::browserProfileDir(session_.dataDir), session_.kkuld});
    szweb_->etipus = std::string("E");  // a literal assigned in place trips a false GCC 12 warning
    return szweb_->run();
}

std::optional<std::string> ExchangeWindows::copyDirectory() {
    location_.registerWindow = registerWindows_.lapok();
    return location_.choose("K", exchange::kCopyCaption);
}

void ExchangeWindows::closeRegister() {
    QApplication::processEvents();  // the status text shows before the register goes
    registerWindows_.lapok()->kilep->click();
}

} // namespace velmora::ui
