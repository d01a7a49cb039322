#include "exchange/ContractImport.h"

#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Table.h"
#include "exchange/IncomingFolder.h"
#include "exchange/Shipment.h"
#include "exchange/ShipmentFiles.h"
#include "store/ContractCheck.h"
#include "store/Schemas.h"

#include <optional>

namespace velmora::exchange {

namespace {

namespace schema = store::schema;
using R = Reading;

// What the program reads of each contract table: the contract view, the
// budget figures, the nurses' capacity and the index keys.
struct ContractLayout {
    Incoming source;
    const schema::TableDef& table;
    std::vector<IncomingField> fields;
};

const std::vector<ContractLayout>& contractLayouts() {
    static const std::vector<ContractLayout> all = {
        {Incoming::HAs, schema::HSZERZ(),
         {{"INTKOD", R::Text},   {"SZSZAM", R::Text},   {"FINKOD", R::Text},  {"OSSZNAP", R::Number},
          {"SZKEZD", R::Date},   {"SZVEG", R::Date},    {"ORVOS", R::Number}, {"GYOGYT", R::Number},
          {"DIPL", R::Number},   {"DIET", R::Number},   {"PSZICH", R::Number}, {"MENTAL", R::Number},
          {"SZOCM", R::Number},  {"HOSPSZ", R::Number}, {"SZAKAP", R::Number}, {"FIZIO", R::Number},
          {"OSSZD", R::Number},  {"NORMNAP", R::Number}, {"POTNAP", R::Number}}},
        {Incoming::HAr, schema::HTERULET(),
         {{"KOZIGKOD", R::Text}, {"HELYNEV", R::Text}, {"KEZD", R::Date}, {"VEG", R::Date},
          {"TSORSZAM", R::Number}, {"LETSZAM", R::Number}}},
        {Incoming::HAd, schema::HSZOLGSZ(),
         {{"TAJ", R::Text}, {"NEV", R::Text}, {"KEZD", R::Date}, {"VEG", R::Date}, {"SSORSZAM", R::Number},
          {"ORASZ", R::Number}, {"ORAK", R::Number}}},
        {Incoming::HAt, schema::HTHELY(),
         {{"TSORSZAM", R::Number}, {"KOZIGKOD", R::Text}, {"HELYNEV", R::Text}, {"CIM", R::Text},
          {"KEZD", R::Date}, {"VEG", R::Date}, {"NAP", R::Number}}},
        {Incoming::HPa, schema::PART(), {{"INTKOD", R::Text}}},
    };
    return all;
}

const ContractLayout& contractLayout(Incoming id) {
    for (const ContractLayout& l : contractLayouts())
        if (l.source == id) return l;
    throw std::logic_error("not a contract file");
}

// The working copy's texts without tabs, line breaks or other control
// characters: the fund's names and addresses become one-line fields the
// user sees. NUL fill is left to the engine.
void cleanTexts(db::Table& table) {
    const db::FieldList& fields = table.fields();
    for (uint32_t r = 0, n = table.physicalCount(); r < n; ++r) {
        if (table.isDeletedAt(r)) continue;
        std::vector<std::pair<int, db::Value>> changes;
        for (int f = 0, m = static_cast<int>(fields.size()); f < m; ++f) {
            if (fields[f].type != 'C') continue;
            std::string text = table.valueAt(r, f).asString();
            std::erase(text, '\0');
            if (app::hasControlCharacters(text)) changes.emplace_back(f, db::Value(app::cleanTypedText(text)));
        }
        if (!changes.empty()) table.updateValues(r, changes);
    }
}

// Reads every row, refusing a value the program reads that is none of its
// field's type (a date of the 31st of February, a number of stars), and
// builds every index key of the table; the engine names the file when it
// cannot.
int readWhole(db::Table& table, const ContractLayout& layout, const std::string& name) {
    std::vector<int> read;
    for (const IncomingField& f : layout.fields) read.push_back(table.fieldIndex(f.name));
    int rows = 0;
    for (uint32_t r = 0, n = table.physicalCount(); r < n; ++r) {
        if (table.isDeletedAt(r)) continue;
        for (int f = 0, m = static_cast<int>(table.fields().size()); f < m; ++f) (void)table.valueAt(r, f);
        for (int f : read)
            if (const db::Value v = table.valueAt(r, f); v.isDamaged())
                throw app::UserError(rowPlace(name, static_cast<int>(r) + 1) + " a(z) " + table.fields()[f].name +
                                     " (\"" + v.asString() + "\") nem a mező típusának megfelelő érték.");
        ++rows;
    }
    cleanTexts(table);
    for (const schema::IndexDef& tag : layout.table.tags) table.addIndex(tag.tag, tag.expression, tag.unique);
    return rows;
}

void checkProvider(const db::Table& part, const std::string& name, const std::string& intkod) {
    const int field = part.fieldIndex("INTKOD");
    for (uint32_t r = 0, n = part.physicalCount(); r < n; ++r) {
        if (part.isDeletedAt(r)) continue;
        const std::string theirs = part.valueAt(r, field).asString();
        if (theirs != intkod)
            throw app::UserError("A(z) " + name + " állomány más intézmény adatait tartalmazza (INTKOD: \"" + theirs +
                                 "\", az intézmény kódja " + intkod + ").");
        return;
    }
    throw app::UserError("A(z) " + name + " állományban nincs az intézmény adata.");
}

} // namespace

std::vector<ContractFile> checkContractFiles(const std::string& folder, const std::vector<Incoming>& files,
                                             const std::string& intkod) {
    std::vector<ContractFile> out;
    db::Database scratch(folder);
    for (Incoming id : files) {
        const ContractLayout& layout = contractLayout(id);
        const std::string name = incomingFileName(incomingLayout(id), intkod);
        const std::string path = folder + layout.table.fileName;
        db::Table& table = scratch.tableAtPath(path);
        try {
            table.open();
            const IncomingLayout fields{id, incomingLayout(id).prefix, true, layout.fields};
            if (const auto problem = checkIncomingFields(fields, table.fields(), name)) throw app::UserError(*problem);
            if (id == Incoming::HPa) checkProvider(table, name, intkod);
            const int rows = readWhole(table, layout, name);
            // Without a contract the contract view, the budget figures and the
            // sheet checks would have nothing to stand on.
            if (id == Incoming::HAs && rows == 0)
                throw app::UserError("A(z) " + name + " állományban nincs szerződés.");
            out.push_back({{&layout.table, path}, name, rows});
        } catch (const db::DbError& e) {
            // The engine names the working copy; the user knows the fund's name.
            throw app::UserError("A(z) " + name + " állomány nem olvasható: " + e.what());
        }
        table.close();
    }
    return out;
}

app::Outcome importContracts(db::Database& db, app::Session& session, app::Dialogs& dialogs, app::Progress& progress,
                     ImportWindows& windows) {
    std::vector<Incoming> files = {Incoming::HAs, Incoming::HAr, Incoming::HAd, Incoming::HAt, Incoming::HPa};
    const app::Result<ChosenFolder> folder = chooseIncomingFolder(
        db, dialogs, windows, {app::Msg::ContractQuestion, kContractDeclined, kContractMissing}, files);
    if (!folder) return folder.failure();
    const std::string& dir = folder->dir;
    const std::string& intkod = folder->intkod;
    if (!findIncoming(dir, incomingLayout(Incoming::HPa), intkod)) files.pop_back();

    std::vector<ContractFile> checked;
    {
        app::ProgressScope steps(progress, "Szerződések beolvasása", 3, false);
        steps.step("Az állományok másolása a TEMP könyvtárba", 0);
        std::optional<WorkFolder> work;
        try {
            work.emplace(session.ktemp, "Szerzodes", db.directory());
            for (Incoming id : files)
                work->copyIn(*findIncoming(dir, incomingLayout(id), intkod), contractLayout(id).table.fileName);
        } catch (const std::exception& e) {
            return refuse(dialogs, app::failureOf(kCopyFailed, e));
        }
        try {
            steps.step("Az állományok ellenőrzése", 1);
            checked = checkContractFiles(work->path(), files, intkod);
            dialogs.status(0, kContractRunning);
            steps.step("A táblák cseréje és indexelése", 2);
            std::vector<store::TableReplacement> replacements;
            for (const ContractFile& f : checked) replacements.push_back(f.replacement);
            store::replaceTables(db, replacements);
        } catch (const std::exception& e) {
            dialogs.status(0, "");
            return refuse(dialogs, refusalOf(e, kContractRefused));
        }
    }

    // The main window shows the latest contract's details.
    if (const auto details = store::finkodtolt(db, dialogs)) store::showContractDetails(*details, session, dialogs);
    std::string summary = kContractDone;
    for (const ContractFile& f : checked)
        summary += "\n" + f.replacement.def->name + ": " + std::to_string(f.rows) + " sor a(z) " + f.sourceName +
                   " állományból";
    if (files.back() != Incoming::HPa) summary += "\nA PART tábla nem változott (nincs HPa állomány).";
    dialogs.status(0, kContractIndexDone);
    dialogs.information(summary);
    return std::nullopt;
}

} // namespace velmora::exchange
