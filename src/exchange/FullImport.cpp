#include "exchange/FullImport.h"

#include "app/Archiver.h"
#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Table.h"
#include "exchange/IncomingLayouts.h"
#include "exchange/KuldFolder.h"
#include "exchange/Shipment.h"
#include "exchange/ShipmentFiles.h"
#include "sheets/ContractFigures.h"
#include "sheets/RowLookup.h"
#include "store/IndexFiles.h"
#include "store/TableReplacement.h"

#include <filesystem>

namespace velmora::exchange {

namespace {

namespace fs = std::filesystem;
namespace schema = store::schema;

const std::vector<Incoming> kMembers = {Incoming::HAa, Incoming::HAb, Incoming::HAc};

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
    return out;
}

// Exactly the three files, each once, in any letter case.
void checkMembers(const std::string& archive, const std::string& intkod) {
    std::vector<std::string> expected;
    for (Incoming id : kMembers) expected.push_back(incomingFileName(incomingLayout(id), intkod));
    std::vector<std::string> found = app::archiveMembers(archive), upper, wanted;
    for (const std::string& n : found) upper.push_back(db::upperAscii(n));
    for (const std::string& n : expected) wanted.push_back(db::upperAscii(n));
    std::sort(upper.begin(), upper.end());
    std::sort(wanted.begin(), wanted.end());
    if (upper != wanted)
        throw app::UserError("A(z) " + fs::path(archive).filename().string() +
                             " archívum nem a teljes adatállomány három állományát tartalmazza (várt: " +
                             joined(expected) + "; benne: " + (found.empty() ? "semmi" : joined(found)) + ").");
}

std::string memberPath(const std::string& dir, Incoming id, const std::string& intkod) {
    const std::string name = incomingFileName(incomingLayout(id), intkod);
    const std::optional<std::string> path = db::findFileNoCase(dir, name);
    if (!path) throw app::UserError("A(z) " + name + " állomány nem került elő az archívumból.");
    return *path;
}

std::string countText(int n) { return std::to_string(n); }

} // namespace

LocalSheets localSheets(db::Database& db) {
    const db::Table& hlapa = store::tableOf(db, schema::HLAPA());
    LocalSheets out;
    for (uint32_t r = 0, n = hlapa.physicalCount(); r < n; ++r) {
        if (hlapa.isDeletedAt(r)) continue;
        ++out.sheets;
        if (app::IsBlank(sheets::fieldText(hlapa, r, "Elkuldve"))) ++out.unsent;
    }
    return out;
}

std::string replaceQuestion(const LocalSheets& local, const FullDataSet& set) {
    std::string text = "A teljes adatállományt lecseréljük! A RUV " + countText(static_cast<int>(set.headers.size())) +
                       " lapja (legújabb időszak: " + set.newest + ") kerül a helyi " + countText(local.sheets) +
                       " lap helyére.";
    if (local.unsent > 0)
        text += "\nFigyelem: a helyi lapok közül " + countText(local.unsent) +
                " még nem volt elküldve, ezek elvesznek!";
    return text + "\nRendben?";
}

FullDataSet unpackFullDataSet(const std::string& archive, const std::string& freshDir, const std::string& intkod) {
    checkMembers(archive, intkod);
    app::extractArchive(archive, freshDir);
    return readFullDataSet({memberPath(freshDir, Incoming::HAa, intkod), memberPath(freshDir, Incoming::HAb, intkod),
                            memberPath(freshDir, Incoming::HAc, intkod)},
                           intkod);
}

bool replaceSheets(db::Database& db, const FullDataSet& set, app::Dialogs& dialogs) {
    store::Replacement replacement(db);
    replacement.write(schema::HLAPA(), set.headers);
    replacement.write(schema::HLAPB(), set.visits);
    {
        // The marks go into the new sheets before they replace the old
        // ones, so that the replacement and its marks are one step.
        db::Database staged(replacement.folder());
        store::tableOf(staged, schema::HLAPA()).open();
        if (!sheets::markFullSeriesOfYear(staged, set.newest.substr(0, 4), dialogs)) return false;
    }
    replacement.commit();
    return true;
}

std::optional<FullImportSummary> importFullDataSet(db::Database& db, const app::Session& session,
                                                   app::Dialogs& dialogs, app::Progress& progress,
                                                   FullImportWindows& windows) {
    const std::optional<std::string> code =
        intkodForFileNames(db, dialogs, "a teljes adatállomány nem olvasható be.");
    if (!code) return std::nullopt;
    const std::string& intkod = *code;
    const std::optional<std::string> dir = windows.sourceDirectory();
    if (!dir) return std::nullopt;
    const std::optional<std::string> archive = db::findFileNoCase(*dir, fullDataSetArchiveName(intkod));
    if (!archive) {
        dialogs.error(kFullImportNoArchive);
        return std::nullopt;
    }

    FullImportSummary summary;
    try {
        dialogs.status(0, kFullImportRunning);
        std::error_code ec;
        fs::create_directories(session.ktemp, ec);
        StagingFolder unpacked((fs::path(session.ktemp) / "Telj").string(), db.directory());
        FullDataSet set;
        {
            app::ProgressScope steps(progress, "Teljes adatállomány beolvasása", 2, false);
            steps.step("Kicsomagolás és ellenőrzés", 0);
            set = unpackFullDataSet(*archive, unpacked.path(), intkod);
            steps.step("Ellenőrzés kész", 1);
        }
        const LocalSheets local = localSheets(db);
        if (!dialogs.ask(replaceQuestion(local, set), app::QuestionKind::Confirmation)) {
            dialogs.warning(kFullImportDeclined);
            dialogs.status(0, "");
            return std::nullopt;
        }
        app::ProgressScope steps(progress, "Teljes adatállomány cseréje", 2, false);
        steps.step("Az új lap- és látogatástáblák írása és a részszámlák jelölése", 0);
        dialogs.status(0, kFullImportSeries);
        if (!replaceSheets(db, set, dialogs)) {
            dialogs.status(0, "");
            return std::nullopt;
        }
        steps.step("A táblák cseréje kész", 1);
        summary = {set.rowsRead, local.sheets, static_cast<int>(set.headers.size()), 4};  // two tables, two index files
    } catch (const app::ArchiverError& e) {
        dialogs.error(e.what(), e.detail());
        dialogs.status(0, "");
        return std::nullopt;
    } catch (const app::UserError& e) {
        dialogs.error(e.what());
        dialogs.status(0, "");
        return std::nullopt;
    } catch (const db::DbError& e) {
        dialogs.error("Hiba a lefutásban! A helyi lapok nem változtak.", e.what());
        dialogs.status(0, "");
        return std::nullopt;
    }
    dialogs.status(0, kFullImportDone);
    dialogs.information(std::string(kFullImportDone) + "\nBeolvasott rekordok: " + countText(summary.rowsRead) +
                        "\nLecserélt helyi lapok: " + countText(summary.sheetsReplaced) +
                        "\nA RUV lapjai: " + countText(summary.sheetsRead) +
                        "\nKiírt állományok: " + countText(summary.filesWritten));
    return summary;
}

} // namespace velmora::exchange
