#include "exchange/FullImport.h"

#include "app/Archiver.h"
#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Table.h"
#include "exchange/IncomingFolder.h"
#include "exchange/IncomingLayouts.h"
#include "exchange/KuldFolder.h"
#include "exchange/Shipment.h"
#include "exchange/ShipmentFiles.h"
#include "sheets/ContractFigures.h"
#include "sheets/RowLookup.h"
#include "store/History.h"
#include "store/IndexFiles.h"
#include "store/TableReplacement.h"

#include <filesystem>
#include <map>
#include <set>
#include <tuple>

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

// A sheet's few fields the history keeps of a full import.
struct Summary {
    std::string taj;
    std::vector<std::pair<std::string, std::string>> fields;
};
using SummaryMap = std::map<std::tuple<std::string, std::string, std::string>, Summary>;  // IDOSZAK, SORSZ, RESZ

SummaryMap summaries(const db::Table& hlapa) {
    SummaryMap out;
    for (uint32_t r = 0, n = hlapa.physicalCount(); r < n; ++r) {
        if (hlapa.isDeletedAt(r)) continue;
        Summary s;
        s.taj = sheets::fieldText(hlapa, r, "Taj");
        for (const char* f : {"SzNap", "Elkuldve", "Modtipus", "Allapot"})
            s.fields.emplace_back(db::upperAscii(f), sheets::fieldText(hlapa, r, f));
        out[{sheets::fieldText(hlapa, r, "Idoszak"), sheets::fieldText(hlapa, r, "Sorsz"),
             sheets::fieldText(hlapa, r, "Resz")}] = std::move(s);
    }
    return out;
}

// One summary row per sheet the import replaces, drops or brings.
std::vector<store::history::Entry> replacedSheets(const db::Table& local, const db::Table& fund) {
    const SummaryMap before = summaries(local), after = summaries(fund);
    std::set<SummaryMap::key_type> keys;
    for (const auto& [k, s] : before) keys.insert(k);
    for (const auto& [k, s] : after) keys.insert(k);
    std::vector<store::history::Entry> entries;
    for (const auto& key : keys) {
        const auto b = before.find(key), a = after.find(key);
        store::history::Entry e{store::history::kFullImport, std::get<0>(key), std::get<1>(key), std::get<2>(key),
                                a != after.end() ? a->second.taj : b->second.taj, {}};
        const size_t fields = (a != after.end() ? a->second : b->second).fields.size();
        for (size_t i = 0; i < fields; ++i) {
            const std::string was = b != before.end() ? b->second.fields[i].second : std::string();
            const std::string now = a != after.end() ? a->second.fields[i].second : std::string();
            const std::string& name = (a != after.end() ? a->second : b->second).fields[i].first;
            if (was != now) e.text.changes.push_back({name, was, now});
        }
        e.text.note = b == before.end()   ? "A RUV teljes adatállományából érkezett lap."
                      : a == after.end()  ? "A helyi lap elmaradt: a RUV teljes adatállományában nincs."
                                          : "A helyi lap helyére a RUV teljes adatállományának lapja került.";
        entries.push_back(std::move(e));
    }
    return entries;
}

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

app::Question replaceQuestion(const LocalSheets& local, const FullDataSet& set) {
    app::Question q = app::question(app::Msg::ReplaceAllQuestion);
    q.text += "\nA RUV " + countText(static_cast<int>(set.headers.size())) + " lapja (legújabb időszak: " +
              set.newest + ") kerül a helyi " + countText(local.sheets) + " lap helyére.";
    if (local.unsent > 0)
        q.text += "\nFigyelem: a helyi lapok közül " + countText(local.unsent) +
                  " még nem volt elküldve, ezek elvesznek!";
    return q;
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
    std::vector<store::history::Entry> history;
    {
        // The marks go into the new sheets before they replace the old
        // ones, so that the replacement and its marks are one step.
        db::Database staged(replacement.folder());
        db::Table& fund = store::tableOf(staged, schema::HLAPA());
        fund.open();
        dialogs.status(0, kFullImportSeries);
        if (!sheets::markFullSeriesOfYear(staged, set.newest.substr(0, 4), dialogs)) return false;
        history = replacedSheets(store::tableOf(db, schema::HLAPA()), fund);
    }
    replacement.commit([&] { store::history::record(db, history); });
    return true;
}

namespace {

// The import stopped after its status line was set: the failure shown, the line cleared.
app::Failure stopped(app::Dialogs& dialogs, const app::Failure& failure) {
    app::show(dialogs, failure);
    dialogs.status(0, "");
    return failure;
}

} // namespace

app::Result<FullImportSummary> importFullDataSet(db::Database& db, const app::Session& session, app::Dialogs& dialogs,
                                                 app::Progress& progress, FullImportWindows& windows) {
    using app::Failure, app::FailureKind;
    const std::string noNames = "a teljes adatállomány nem olvasható be.";
    const std::optional<std::string> code = intkodForFileNames(db, dialogs, noNames);
    if (!code) return Failure{FailureKind::Refused, "A PART INTKOD mezője miatt " + noNames, {}};
    const std::string& intkod = *code;
    const std::optional<std::string> dir = windows.sourceDirectory();
    if (!dir) return Failure{FailureKind::Cancelled, "Nincs kiválasztva a beolvasás helye.", {}};
    const std::optional<std::string> archive = db::findFileNoCase(*dir, fullDataSetArchiveName(intkod));
    if (!archive) {
        return *refuse(dialogs, Failure{FailureKind::File, kFullImportNoArchive, fullDataSetArchiveName(intkod)});
    }

    FullImportSummary summary;
    try {
        dialogs.status(0, app::text(app::Msg::FullImportProgress));
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
        if (!dialogs.ask(replaceQuestion(local, set))) {
            dialogs.warning(kFullImportDeclined);
            dialogs.status(0, "");
            return Failure{FailureKind::Cancelled, kFullImportDeclined, {}};
        }
        app::ProgressScope steps(progress, "Teljes adatállomány cseréje", 2, false);
        steps.step("Az új lap- és látogatástáblák írása és a részszámlák jelölése", 0);
        dialogs.status(0, app::text(app::Msg::PaymentStateProgress));
        if (!replaceSheets(db, set, dialogs)) {
            dialogs.status(0, "");
            return Failure{FailureKind::Engine, "A részszámlák jelölése nem sikerült, a helyi lapok nem változtak.", {}};
        }
        steps.step("A táblák cseréje kész", 1);
        summary = {set.rowsRead, local.sheets, static_cast<int>(set.headers.size()), 4};  // two tables, two index files
    } catch (const app::ArchiverError& e) {
        // The system's words; what the archiver said goes below them.
        app::Failure failure = app::failureOf(e);
        failure.cause = failure.cause.empty() ? failure.text : failure.text + "\n" + failure.cause;
        failure.text = app::text(app::Msg::UnpackFailed);
        return stopped(dialogs, failure);
    } catch (const app::UserError& e) {
        return stopped(dialogs, app::failureOf(e));
    } catch (const std::exception& e) {
        return stopped(dialogs, app::failureOf(app::text(app::Msg::QueryFailed) + "\nA helyi lapok nem változtak.", e));
    }
    dialogs.status(0, kFullImportDone);
    dialogs.information(std::string(kFullImportDone) + "\nBeolvasott rekordok: " + countText(summary.rowsRead) +
                        "\nLecserélt helyi lapok: " + countText(summary.sheetsReplaced) +
                        "\nA RUV lapjai: " + countText(summary.sheetsRead) +
                        "\nKiírt állományok: " + countText(summary.filesWritten));
    return summary;
}

} // namespace velmora::exchange
