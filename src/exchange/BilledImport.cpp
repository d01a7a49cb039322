#include "exchange/BilledImport.h"

#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "app/Utf8.h"
#include "db/DbError.h"
#include "db/Table.h"
#include "db/WriteUnit.h"
#include "sheets/RowLookup.h"
#include "sheets/SheetHistory.h"
#include "exchange/IncomingFolder.h"
#include "exchange/Shipment.h"
#include "exchange/ShipmentFiles.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <array>
#include <set>
#include <stdexcept>
#include <tuple>

namespace velmora::exchange {

namespace {

namespace schema = store::schema;

using SheetKey = std::pair<std::string, std::string>;  // SORSZ, RESZ

constexpr int kDays = 31;

int fieldOf(const db::Table& table, const std::string& name) {
    const int index = table.fieldIndex(name);
    if (index < 0)
        throw db::DbError(db::DbError::Code::NotFound,
                          "A(z) " + table.fileName() + " állományban nincs " + name + " mező.");
    return index;
}

// The days' fields of the visit row.
struct DayFields {
    std::array<int, kDays> apdat{}, eli{};
    explicit DayFields(const db::Table& hlapb) {
        for (int n = 1; n <= kDays; ++n) {
            apdat[n - 1] = fieldOf(hlapb, "APDAT" + std::to_string(n));
            eli[n - 1] = fieldOf(hlapb, "ELI" + std::to_string(n));
        }
    }
};

db::Value textOrNull(const std::string& s) { return app::IsBlank(s) ? db::Value() : db::Value(s); }

// The live records of a sheet table that belong to `period`, by sheet key;
// the first record of a key wins, as a search would find it.
std::map<SheetKey, uint32_t> sheetsOfPeriod(const db::Table& table, const std::string& period) {
    const int idoszak = fieldOf(table, "Idoszak"), sorsz = fieldOf(table, "Sorsz"), resz = fieldOf(table, "Resz");
    std::map<SheetKey, uint32_t> out;
    for (uint32_t r = 0, n = table.physicalCount(); r < n; ++r) {
        if (table.isDeletedAt(r) || table.valueAt(r, idoszak).asString() != period) continue;
        out.emplace(SheetKey{table.valueAt(r, sorsz).asString(), table.valueAt(r, resz).asString()}, r);
    }
    return out;
}

std::string quoted(const db::Value& v) { return "(\"" + v.asString() + "\")"; }

// The opened working copy of an incoming file, its fields checked.
db::Table& openChecked(db::Database& scratch, const std::string& folder, Incoming id, const std::string& intkod) {
    const IncomingLayout& layout = incomingLayout(id);
    db::Table& table = scratch.tableAtPath(folder + incomingFileName(layout, intkod));
    table.open();
    if (const auto problem = checkIncomingFields(layout, table.fields(), incomingFileName(layout, intkod)))
        throw app::UserError(*problem);
    return table;
}

// One billed visit of HEb, checked.
struct BilledRow {
    SheetKey key;
    std::string apdatum;
    db::Value elszido;
};

BilledRow readBilledRow(const db::Table& heb, uint32_t r, const std::string& name, const std::string& intkod,
                        const std::string& period, int eliWidth) {
    const std::string place = rowPlace(name, static_cast<int>(r) + 1);
    auto value = [&](const char* field) { return heb.valueAt(r, heb.fieldIndex(field)); };

    const db::Value kabkod = value("KABKOD");
    if (kabkod.asString() != intkod)
        throw app::UserError(place + " a KABKOD " + quoted(kabkod) + " nem az intézmény kódja (" + intkod + ").");
    const db::Value idoszak = value("IDOSZAK");
    const std::optional<std::string> p = periodFromDigits(idoszak.asString());
    if (!p) throw app::UserError(place + " az IDOSZAK " + quoted(idoszak) + " nem ÉÉÉÉHH alakú időszak.");
    if (*p != period)
        throw app::UserError(std::string(kOtherPeriod) + "\n" + place + " a lap időszaka " + *p +
                             ", az elszámolási időszak " + period + ".");
    const db::Value sorszam = value("SORSZAM");
    const std::optional<int64_t> number = incomingInteger(sorszam);
    if (!number || *number < 0 || *number > 99999)
        throw app::UserError(place + " a SORSZAM " + quoted(sorszam) + " nem lapsorszám.");
    const db::Value apdatum = value("APDATUM");
    if (!apdatum.isText()) throw app::UserError(place + " az APDATUM " + quoted(apdatum) + " nem dátum.");
    const db::Value elszido = value("ELSZIDO");
    if (static_cast<int>(app::Utf8Length(elszido.asString())) > eliWidth)
        throw app::UserError(place + " az ELSZIDO " + quoted(elszido) + " hosszabb " + std::to_string(eliWidth) +
                             " karakternél.");
    return {{app::PadLeft(std::to_string(*number), 5, "0"), value("RESZ").asString()}, apdatum.text(),
            textOrNull(elszido.asString())};
}

// The billing marks of HEb onto the period's visit rows; later rows of the
// same day win.
void planMarks(BilledPlan& plan, db::Database& scratch, db::Table& hlapb, const std::string& folder,
               const std::string& intkod, const std::string& period) {
    const db::Table& heb = openChecked(scratch, folder, Incoming::HEb, intkod);
    const std::string name = incomingFileName(incomingLayout(Incoming::HEb), intkod);
    const DayFields days(hlapb);
    const int eliWidth = hlapb.fields()[days.eli[0]].width;
    const int daysInMonth = app::DaysInPeriod(period);
    const std::map<SheetKey, uint32_t> visitRows = sheetsOfPeriod(hlapb, period);

    bool first = true;
    for (uint32_t r = 0, n = heb.physicalCount(); r < n; ++r) {
        if (heb.isDeletedAt(r)) continue;
        if (first && app::IsBlank(heb.valueAt(r, heb.fieldIndex("KABKOD")).asString()))
            throw app::UserError(std::string(kNoBilledSheet) + " a(z) " + name + " állományban.");
        first = false;
        const BilledRow row = readBilledRow(heb, r, name, intkod, period, eliWidth);
        const auto visit = visitRows.find(row.key);
        if (visit == visitRows.end()) {
            plan.skipped.push_back(rowPlace(name, static_cast<int>(r) + 1) + " a(z) " + period + " " +
                                   row.key.first + row.key.second + " lap");
            continue;
        }
        for (int d = 0; d < daysInMonth; ++d)
            if (hlapb.valueAt(visit->second, days.apdat[d]).asString() == row.apdatum)
                plan.visitMarks[visit->second][days.eli[d]] = row.elszido;
        ++plan.rowsRead;
    }
    if (first) throw app::UserError(std::string(kNoBilledSheet) + " a(z) " + name + " állományban.");
}

// The payment state of every sheet of the period from its marks, the new
// ones counted in.
void planPayment(BilledPlan& plan, const db::Table& hlapa, const db::Table& hlapb, const std::string& period) {
    const DayFields days(hlapb);
    const int sznap = fieldOf(hlapa, "SzNap"), allapot = fieldOf(hlapa, "Allapot");
    const std::map<SheetKey, uint32_t> visitRows = sheetsOfPeriod(hlapb, period);
    for (const auto& [key, sheet] : sheetsOfPeriod(hlapa, period)) {
        int billed = 0;
        if (const auto visit = visitRows.find(key); visit != visitRows.end()) {
            const auto marks = plan.visitMarks.find(visit->second);
            for (int field : days.eli) {
                db::Value mark = hlapb.valueAt(visit->second, field);
                if (marks != plan.visitMarks.end())
                    if (const auto m = marks->second.find(field); m != marks->second.end()) mark = m->second;
                if (!app::IsBlank(mark.asString())) ++billed;
            }
        }
        const int64_t s = hlapa.valueAt(sheet, sznap).asInt();
        ++plan.sheets;
        std::optional<std::string> state;
        if (billed == 0) state = "", ++plan.unpaid;
        else if (s == billed) state = kFullyPaid, ++plan.fully;
        else if (s > billed) state = "R", ++plan.partly;
        if (state && hlapa.valueAt(sheet, allapot).asString() != *state) plan.payment[sheet] = textOrNull(*state);
    }
}

// A fee value in the field it goes into: rounded to its decimals, and no
// wider than it.
db::Decimal feeValue(const db::Value& v, const char* fundField, const db::FieldDef& field, const std::string& name) {
    const std::string place = "A(z) " + name + " állományban az " + fundField + " " + quoted(v);
    if (!v.isNumber()) throw app::UserError(place + " nem szám.");
    db::Decimal d = v.number().rescaled(field.decimals).value_or(
        db::Decimal::fromDouble(v.number().toDouble(), field.decimals));
    if (d.scale() != field.decimals || static_cast<int>(d.toString().size()) > field.width)
        throw app::UserError(place + " nem fér el az időszak adatai között.");
    return d;
}

// The period's base fee and advance, from HRuv's first row.
void planFee(BilledPlan& plan, db::Database& scratch, const db::Table& zaras, const std::string& folder,
             const std::string& intkod, const std::string& period) {
    const db::Table& hruv = openChecked(scratch, folder, Incoming::HRuv, intkod);
    const std::string name = incomingFileName(incomingLayout(Incoming::HRuv), intkod);
    for (uint32_t r = 0, n = hruv.physicalCount(); r < n; ++r) {
        if (hruv.isDeletedAt(r)) continue;
        const std::string idoszak = hruv.valueAt(r, hruv.fieldIndex("IDOSZAK")).asString();
        // The fund writes this period either way.
        const std::optional<std::string> p = idoszak.size() == 7 && app::Date::parse(idoszak + ".01")
                                                 ? std::optional(idoszak)
                                                 : periodFromDigits(idoszak);
        if (!p)
            throw app::UserError("A(z) " + name + " állományban az IDOSZAK (\"" + idoszak + "\") nem időszak.");
        if (*p != period)
            throw app::UserError(std::string(kOtherPeriod) + "\nA(z) " + name + " állomány időszaka " + *p +
                                 ", az elszámolási időszak " + period + ".");
        const db::FieldList& fields = zaras.fields();
        plan.alapdij =
            feeValue(hruv.valueAt(r, hruv.fieldIndex("ALAPDIJ")), "ALAPDIJ", fields[fieldOf(zaras, "Alapdij")], name);
        plan.eloleg =
            feeValue(hruv.valueAt(r, hruv.fieldIndex("ELOLEG")), "ELOLEG", fields[fieldOf(zaras, "Eloleg")], name);
        plan.periodRow = !zaras.lookup("Idoszak", db::Value(period), "Idoszak").isNull();
        return;
    }
    throw app::UserError("A(z) " + name + " állományban nincs az időszak díjadata.");
}

// A step that failed without a message of its own, under the number the
// system gives it: (6) the visit file, (7) the period's sheets, (8) the fee
// file. A refused row names its file and reason itself and passes as it is.
class StepFailed : public std::runtime_error {
public:
    StepFailed(int step, const std::string& cause) : std::runtime_error(cause), step(step) {}
    int step;
};

template <class Step>
void numberedStep(int number, Step step) {
    try {
        step();
    } catch (const app::UserError&) {
        throw;
    } catch (const std::exception& e) {
        throw StepFailed(number, e.what());
    }
}

template <class Change>
void inBatch(db::Table& table, Change change) {
    table.beginBatch();
    try {
        change();
        table.endBatch(true);
    } catch (...) {
        table.endBatch(false);
        throw;
    }
}

} // namespace

// The sheets whose payment state or visit days the answer touches, each once.
static std::vector<sheets::SheetKey> billedSheets(const db::Table& hlapa, const db::Table& hlapb, const BilledPlan& plan) {
    std::set<std::tuple<std::string, std::string, std::string>> seen;
    std::vector<sheets::SheetKey> keys;
    auto add = [&](const db::Table& t, uint32_t recno) {
        sheets::SheetKey key{sheets::fieldText(t, recno, "Sorsz"), sheets::fieldText(t, recno, "Resz"),
                             sheets::fieldText(t, recno, "Idoszak")};
        if (seen.insert({key.idoszak, key.sorsz, key.resz}).second) keys.push_back(key);
    };
    for (const auto& [recno, marks] : plan.payment) add(hlapa, recno);
    for (const auto& [recno, marks] : plan.visitMarks) add(hlapb, recno);
    return keys;
}

BilledPlan planBilled(db::Database& db, const std::string& folder, const std::string& intkod,
                      const std::string& period) {
    db::Database scratch(folder);
    db::Table& hlapa = store::tableOf(db, schema::HLAPA());
    db::Table& hlapb = store::tableOf(db, schema::HLAPB());
    BilledPlan plan;
    numberedStep(6, [&] { planMarks(plan, scratch, hlapb, folder, intkod, period); });
    numberedStep(8, [&] { planFee(plan, scratch, store::tableOf(db, schema::ZARAS()), folder, intkod, period); });
    numberedStep(7, [&] { planPayment(plan, hlapa, hlapb, period); });
    return plan;
}

void applyBilled(db::Database& db, const BilledPlan& plan, const std::string& period, const app::Date& today) {
    db::Table& hlapa = store::tableOf(db, schema::HLAPA());
    db::Table& hlapb = store::tableOf(db, schema::HLAPB());
    db::Table& zaras = store::tableOf(db, schema::ZARAS());
    const int allapot = fieldOf(hlapa, "Allapot");
    const sheets::SheetSnapshots before = sheets::snapshotsOf(db, billedSheets(hlapa, hlapb, plan));
    db::WriteUnit unit(db);
    inBatch(hlapb, [&] {
        for (const auto& [recno, marks] : plan.visitMarks)
            hlapb.updateValues(recno, std::vector<std::pair<int, db::Value>>(marks.begin(), marks.end()));
    });
    inBatch(hlapa, [&] {
        for (const auto& [recno, state] : plan.payment) hlapa.updateValues(recno, {{allapot, state}});
    });
    if (plan.periodRow && plan.alapdij && zaras.locate("Idoszak", db::Value(period))) {
        zaras.edit();
        zaras.setField("Alapdij", *plan.alapdij);
        zaras.setField("Eloleg", *plan.eloleg);
        zaras.setField("Ruvkuld", today.text());
        zaras.post();
    }
    sheets::recordChanges(db, store::history::kBilled, before, "A RUV " + period + " elszámolása szerint.");
    unit.commit();
}

std::string billedSummary(const BilledPlan& plan) {
    size_t marked = 0;
    for (const auto& [recno, marks] : plan.visitMarks) marked += marks.size();
    std::string text = std::string(kBilledDone) + "\n" + std::to_string(plan.rowsRead) +
                       " elszámolt látogatás beolvasva, " + std::to_string(marked) + " helyi látogatás megjelölve.\n" +
                       "Az időszak " + std::to_string(plan.sheets) + " lapja közül teljesen elszámolt " +
                       std::to_string(plan.fully) + ", részben " + std::to_string(plan.partly) + ", nem elszámolt " +
                       std::to_string(plan.unpaid) + ".\n";
    text += plan.periodRow ? "Az időszak alapdíja és előlege rögzítve."
                           : "Az időszaknak nincs zárási sora: az alapdíj és az előleg nem került rögzítésre.";
    if (!plan.skipped.empty()) {
        text += "\n" + std::to_string(plan.skipped.size()) +
                " elszámolt látogatás kihagyva, mert a lapja nincs a helyi lapok között:";
        for (const std::string& row : plan.skipped) text += "\n" + row;
    }
    return text;
}

app::Outcome importBilled(db::Database& db, const app::Session& session, app::Dialogs& dialogs, app::Progress& progress,
                  ImportWindows& windows) {
    const std::vector<Incoming> files = {Incoming::HEa, Incoming::HEb, Incoming::HEc, Incoming::HRuv};
    const app::Result<ChosenFolder> folder = chooseIncomingFolder(
        db, dialogs, windows, {app::Msg::BilledQuestion, kBilledDeclined, kBilledMissing}, files);
    if (!folder) return folder.failure();
    const std::string& dir = folder->dir;
    const std::string& intkod = folder->intkod;

    app::ProgressScope steps(progress, "Elszámolt lapok beolvasása", 3, false);
    steps.step("Az állományok másolása a TEMP könyvtárba", 0);
    std::optional<WorkFolder> work;
    try {
        work.emplace(session.ktemp, "Elszamolt", db.directory());
        for (Incoming id : files) {
            const std::string name = incomingFileName(incomingLayout(id), intkod);
            work->copyIn(*findIncoming(dir, incomingLayout(id), intkod), name);
        }
    } catch (const std::exception& e) {
        return refuse(dialogs, app::failureOf(kCopyFailed, e));
    }

    dialogs.status(0, kBilledRunning);
    steps.step("Az elszámolt látogatások ellenőrzése", 1);
    BilledPlan plan;
    try {
        plan = planBilled(db, work->path(), intkod, session.mIdoszak);
        steps.step("Az elszámolás rögzítése", 2);
        applyBilled(db, plan, session.mIdoszak, session.clock().today());
    } catch (const StepFailed& e) {
        dialogs.status(0, "");
        const std::string text = app::text(app::Msg::QueryFailedNumbered, {std::to_string(e.step)});
        return refuse(dialogs, {app::FailureKind::Engine, text + "\n" + kBilledRefused, e.what()});
    } catch (const std::exception& e) {
        dialogs.status(0, "");
        return refuse(dialogs, refusalOf(e, kBilledRefused));
    }
    dialogs.status(0, kBilledDone);
    dialogs.information(billedSummary(plan));
    return std::nullopt;
}

} // namespace velmora::exchange
