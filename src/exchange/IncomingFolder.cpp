#include "exchange/IncomingFolder.h"

#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/Database.h"
#include "exchange/Shipment.h"
#include "store/FileCopy.h"

#include <filesystem>

namespace velmora::exchange {

std::optional<std::string> findIncoming(const std::string& dir, const IncomingLayout& layout,
                                        const std::string& intkod) {
    return db::findFileNoCase(dir, incomingFileName(layout, intkod));
}

std::vector<std::string> missingIncoming(const std::string& dir, const std::vector<Incoming>& layouts,
                                         const std::string& intkod) {
    std::vector<std::string> missing;
    for (Incoming id : layouts) {
        const IncomingLayout& layout = incomingLayout(id);
        if (layout.required && !findIncoming(dir, layout, intkod))
            missing.push_back(incomingFileName(layout, intkod));
    }
    return missing;
}

// StagingFolder makes its folder beside the path it is given: TEMP/<name>.uj.
WorkFolder::WorkFolder(const std::string& tempDir, const std::string& name, const std::string& dataDir)
    : staging_((std::filesystem::path(tempDir) / name).string(), dataDir) {}

std::string WorkFolder::copyIn(const std::string& source, const std::string& as) const {
    const std::string target = path() + as;
    store::copyFileChecked(source, target);
    return target;
}

std::optional<int64_t> incomingInteger(const db::Value& value) {
    if (value.isNumber()) {
        if (!value.number().isInteger()) return std::nullopt;
        return value.number().toInt();
    }
    if (!value.isText() || value.text().empty()) return std::nullopt;
    size_t start = value.text().find_first_not_of(' ');
    if (start == std::string::npos || value.text().size() - start > 18) return std::nullopt;
    for (size_t i = start; i < value.text().size(); ++i)
        if (value.text()[i] < '0' || value.text()[i] > '9') return std::nullopt;
    return std::stoll(value.text().substr(start));
}

std::string rowPlace(const std::string& fileName, int row) {
    return "A(z) " + fileName + " állomány " + std::to_string(row) + ". sorában";
}

app::Result<ChosenFolder> chooseIncomingFolder(db::Database& db, app::Dialogs& dialogs, ImportWindows& windows,
                                               const ImportStart& texts, const std::vector<Incoming>& layouts) {
    using app::Failure, app::FailureKind;
    if (!dialogs.ask(app::question(texts.question))) {
        dialogs.warning(texts.declined);
        return Failure{FailureKind::Cancelled, texts.declined, {}};
    }
    const std::string noNames = "a beolvasandó állományok neve nem képezhető.";
    const std::optional<std::string> intkod = intkodForFileNames(db, dialogs, noNames);
    if (!intkod) return Failure{FailureKind::Refused, "A PART INTKOD mezője miatt " + noNames, {}};
    const std::optional<std::string> chosen = windows.importDirectory();
    if (!chosen) return Failure{FailureKind::Cancelled, "Nincs kiválasztva a beolvasás helye.", {}};
    const std::string dir = app::SureDir(*chosen);
    if (const auto missing = missingIncoming(dir, layouts, *intkod); !missing.empty()) {
        std::string list;
        for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
        const std::string shown = std::string(texts.missing) + "\nHiányzik: " + list;
        dialogs.error(shown);
        return Failure{FailureKind::File, shown, dir};
    }
    return ChosenFolder{dir, *intkod};
}

app::Outcome refuse(app::Dialogs& dialogs, const app::Failure& failure) {
    app::show(dialogs, failure);
    return failure;
}

app::Failure refusalOf(const std::exception& e, const std::string& refused) {
    if (dynamic_cast<const app::UserError*>(&e))
        return {app::FailureKind::File, std::string(e.what()) + "\n" + refused, {}};
    return app::failureOf(refused, e);
}

} // namespace velmora::exchange
