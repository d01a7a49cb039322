#include "check/SendingTraces.h"

#include "app/Date.h"
#include "check/DataCheck.h"
#include "check/TableImage.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Who writes what, as far as these findings rest on it:
//
//  * A shipment of period P (exchange/Shipment.cpp) stamps every marked
//    sheet ELKULDVE := P in one write unit with the ZARAS row of P, which it
//    edits or appends: LAPOKSZ := N, the number of sheets marked for this
//    shipment (N >= 1: with nothing marked it stops), ZARAS := today. A
//    repeated shipment of P marks again only some of the sheets and
//    overwrites N, while the sheets of the earlier one keep their stamp P.
//  * Afterwards a sheet loses its stamp P without any change to ZARAS: a
//    modification makes it "YY"/K or, in the first days after the closing
//    or when its own period has no ZARAS row, recorded again (ELKULDVE
//    empty); a cancellation makes it "YY"/S, a late closing date "YY"/L; a
//    sheet of the last closed period, up to the tenth of the month of its
//    closing, and any recorded one may be deleted; a corrected sheet sent
//    again carries the later period.
//  * The full data set import (exchange/FullImport.cpp) replaces HLAPA and
//    HLAPB and leaves ZARAS alone: a sheet of a period earlier than C (three
//    months before the newest period Z of the set) gets "xxxx.xx", any other
//    its own period, MODTIPUS empty; then the partial-invoice series of Z's
//    year whose SZNAP total exactly 50 get TELE "*" on every part
//    (sheets/SeriesMarks.cpp markFullSeriesOfYear). "xxxx.xx" sheets are
//    never changed or deleted afterwards.
//  * The start-up's period table maintenance (register/PeriodTableUpkeep.cpp)
//    appends for each period of the last six months with sent
//    sheets of its own a row whose LAPOKSZ counts those sheets (whatever
//    shipment sent them), and deletes the row of the month after the newest
//    such period L, having just made sure that L has a row.
//  * TELE is otherwise written only by telenez (sheets/SeriesMarks.cpp),
//    after every save, deletion, conversion and cancellation of a sheet, on
//    every part of that sheet's series in its year: "*" when the parts'
//    SZNAP total exactly 50 and the change was no cancellation, else empty.
//    A shipment and a late closing date do not touch it.

namespace velmora::check {

namespace {

constexpr const char* kChanged = "YY";        // changed after sending, waits to go again
constexpr const char* kFromFund = "xxxx.xx";  // taken over from the fund's full data set
constexpr size_t kNamedSheets = 10;           // sheets a line names before it counts the rest

struct Sheet {
    std::string key;  // "YYYY.MM/SSSSSR", as the check's other lines name a sheet
    std::string idoszak, sorsz, resz, elkuldve, modtipus, tele;
    std::optional<int64_t> sznap;
};

std::vector<Sheet> sheetsOf(const TableImage& hlapa) {
    const int idoszak = hlapa.fieldIndex("Idoszak"), sorsz = hlapa.fieldIndex("Sorsz"),
              resz = hlapa.fieldIndex("Resz"), elkuldve = hlapa.fieldIndex("Elkuldve"),
              modtipus = hlapa.fieldIndex("Modtipus"), tele = hlapa.fieldIndex("Tele"),
              sznap = hlapa.fieldIndex("SzNap");
    std::vector<Sheet> out;
    for (uint32_t r = 0; r < hlapa.recordCount(); ++r) {
        if (hlapa.isDeleted(r)) continue;
        Sheet s;
        s.idoszak = hlapa.text(r, idoszak);
        s.sorsz = hlapa.text(r, sorsz);
        s.resz = hlapa.text(r, resz);
        s.key = s.idoszak + "/" + s.sorsz + s.resz;
        s.elkuldve = hlapa.text(r, elkuldve);
        s.modtipus = hlapa.text(r, modtipus);
        s.tele = hlapa.text(r, tele);
        if (sznap >= 0)
            if (const db::Value v = hlapa.value(r, sznap); v.isNumber()) s.sznap = v.asInt();
        out.push_back(std::move(s));
    }
    return out;
}

// The first day of a period "YYYY.MM"; none for any other text.
std::optional<app::Date> firstDayOf(const std::string& period) {
    if (period.size() != 7 || period[4] != '.') return std::nullopt;
    return app::Date::parse(period + ".01");
}

bool isPeriod(const std::string& text) { return firstDayOf(text).has_value(); }

// `period` moved by `months` (a period to begin with).
std::string shifted(const std::string& period, int months) { return firstDayOf(period)->addMonths(months).period(); }

std::string named(const std::set<std::string>& keys) {
    std::string out;
    size_t n = 0;
    for (const std::string& key : keys) {
        if (n == kNamedSheets) return out + " és még " + std::to_string(keys.size() - n) + " lap";
        out += (n++ ? ", " : "") + key;
    }
    return out;
}

std::set<std::string> keysOf(const std::vector<const Sheet*>& sheets) {
    std::set<std::string> keys;
    for (const Sheet* s : sheets) keys.insert(s->key);
    return keys;
}

// The sheets stamped as sent with a period, by that period (a period
// "YYYY.MM"; not recorded, not "YY" waiting to go again, not the fund's
// "xxxx.xx").
std::map<std::string, std::vector<const Sheet*>> bySendingPeriod(const std::vector<Sheet>& sheets) {
    std::map<std::string, std::vector<const Sheet*>> out;
    for (const Sheet& s : sheets)
        if (s.elkuldve != kChanged && s.elkuldve != kFromFund && isPeriod(s.elkuldve)) out[s.elkuldve].push_back(&s);
    return out;
}

// The newest period of the sheets taken over from the fund, if any.
std::optional<std::string> newestFundPeriod(const std::vector<Sheet>& sheets) {
    std::optional<std::string> newest;
    for (const Sheet& s : sheets)
        if (s.elkuldve == kFromFund && isPeriod(s.idoszak) && (!newest || s.idoszak > *newest)) newest = s.idoszak;
    return newest;
}

// Could the full data set import have stamped these sheets with `period`?
// It stamps a sheet's own period with no MODTIPUS, and only on sheets of the
// set's newest four months [C, Z], C = Z - 3 months: every sheet of the set
// older than C it marks "xxxx.xx" instead, and no later step gives such a
// sheet a stamp again. So it did not when a stamped sheet is of another
// period or has a MODTIPUS (a late sheet, a sent correction: a shipment
// made it); when a sheet of `period` or later is "xxxx.xx" (then C is after
// `period`); or when a sheet at least four months older than `period` has
// been sent with a period (the import would have made it "xxxx.xx"). The
// last rule assumes that nobody records a sheet more than three months
// before a period the fund's complete set already has and sends it with a
// shipment of a period no later than that one.
bool importMayHaveStamped(const std::string& period, const std::vector<const Sheet*>& stamped,
                          const std::vector<Sheet>& sheets, const std::optional<std::string>& newestFund) {
    for (const Sheet* s : stamped)
        if (s->idoszak != period || !s->modtipus.empty()) return false;
    if (newestFund && *newestFund >= period) return false;
    const std::string olderThan = shifted(period, -3);
    for (const Sheet& s : sheets)
        if (isPeriod(s.idoszak) && s.idoszak < olderThan && s.elkuldve != kFromFund && isPeriod(s.elkuldve))
            return false;
    return true;
}

// The live ZARAS rows by their period.
std::map<std::string, std::vector<uint32_t>> periodRows(const TableImage& zaras) {
    std::map<std::string, std::vector<uint32_t>> out;
    const int idoszak = zaras.fieldIndex("Idoszak");
    for (uint32_t r = 0; r < zaras.recordCount(); ++r)
        if (!zaras.isDeleted(r)) out[zaras.text(r, idoszak)].push_back(r);
    return out;
}

std::string sentLine(size_t count, const std::set<std::string>& keys) {
    return std::to_string(count) + " lap ezzel az időszakkal van elküldöttként jelölve: " + named(keys) + ".";
}

// Finding 1: sheets stamped as sent with a period that has no ZARAS row. A
// shipment writes the row with the stamps, so a missing row is a shipment
// that lost part of its change, or a row lost since. Two of the program's
// own paths leave such sheets too, and are not reported:
//  * the full data set import (importMayHaveStamped above);
//  * the start-up's maintenance deletes the row of the month after the
//    newest sent period L of the last six months (the row of a shipment
//    made for the running month before the month is over, or of one that
//    sent only other periods' sheets), and leaves a row for L. A period whose previous month has a row is
//    therefore not reported: whether the maintenance took its row cannot be
//    told from the tables (the row may stay away for up to six months of
//    start-ups, or for good when no sheet of the period's own is among its
//    stamped ones).
void reportStampsWithoutRow(const std::map<std::string, std::vector<const Sheet*>>& stamped,
                            const std::map<std::string, std::vector<uint32_t>>& rows,
                            const std::vector<Sheet>& sheets, FileReport& report) {
    const std::optional<std::string> newestFund = newestFundPeriod(sheets);
    for (const auto& [period, sent] : stamped) {
        if (rows.count(period) || rows.count(shifted(period, -1))) continue;
        if (importMayHaveStamped(period, sent, sheets, newestFund)) continue;
        report.problems.push_back("A(z) " + period + " időszaknak nincs sora a zárások között, pedig " +
                                  sentLine(sent.size(), keysOf(sent)));
    }
}

// Finding 2: a ZARAS row whose sheet count LAPOKSZ is 0 or empty while
// sheets carry its period as their sending period. LAPOKSZ is no faithful
// count of those sheets, so only this much is certain:
//  * at a first shipment N equals the sheets it stamps (own ones, late ones
//    and corrections alike), but a repeated shipment counts only the sheets
//    marked again and keeps the earlier stamps, and the maintenance counts
//    the sent sheets of the period's own, wherever they went: a count below
//    the stamped sheets is the program's own;
//  * after the shipment its sheets leave the period by corrections,
//    cancellations, late closing dates, re-sending and deletions, and a
//    full data set import replaces them all while ZARAS stays: a count
//    above the stamped sheets is the program's own too;
//  * every writer of the count writes at least 1 (a shipment of nothing
//    stops before it writes; the maintenance counts a period it found sent
//    sheets of), and sheets gain the stamp of a period only by its
//    shipment, which writes the count, or by the full import, which leaves
//    ZARAS as it was. A count of 0 or none beside stamped sheets is a row
//    written otherwise, or half.
void reportUncountedRows(const TableImage& zaras, const std::map<std::string, std::vector<const Sheet*>>& stamped,
                         const std::map<std::string, std::vector<uint32_t>>& rows, FileReport& report) {
    const int lapoksz = zaras.fieldIndex("Lapoksz");
    for (const auto& [period, sent] : stamped) {
        const auto found = rows.find(period);
        if (found == rows.end()) continue;
        for (uint32_t r : found->second) {
            const db::Value count = lapoksz >= 0 ? zaras.value(r, lapoksz) : db::Value();
            if (count.isNumber() && count.asInt() > 0) continue;
            const std::string shown = count.isNumber() ? std::to_string(count.asInt()) : "üres";
            report.problems.push_back("A(z) " + period + " időszak sorában (" + std::to_string(r + 1) +
                                      ". rekord) az elküldött lapok száma " + shown + ", pedig " +
                                      sentLine(sent.size(), keysOf(sent)));
        }
    }
}

// Finding 3: the full-series marks that the full data set import writes on
// the series of its newest year Z (the import's last step), missing. The set's
// newest period is known only so far: Z is at least four months after the
// newest "xxxx.xx" sheet X (those are older than Z - 3 months) and at most
// the newest sheet's period M (a sheet recorded later only raises M). When
// X + 4 months is not after M and both fall in one year, that is Z's year
// Y. In Y a series then carries the mark on every part exactly when its
// SZNAP total is 50, as the import left it or as telenez set it at the
// last change: only a cancellation takes it off a full series, and a
// cancelled part keeps MODTIPUS "S" until a later change of the series
// sets the mark again. So a series of Y whose parts total 50, none
// cancelled, with a part that lacks the mark, is an import whose marking
// did not finish (or marks lost since). Series of other years are not
// looked at: the import leaves them unmarked whatever their total. Not told
// apart: every sheet of Y deleted after the import, so that M falls in an
// earlier year.
void reportMissingSeriesMarks(const std::vector<Sheet>& sheets, FileReport& report) {
    const std::optional<std::string> newestFund = newestFundPeriod(sheets);
    if (!newestFund) return;
    std::string newest;
    for (const Sheet& s : sheets)
        if (isPeriod(s.idoszak) && s.idoszak > newest) newest = s.idoszak;
    const std::string year = newest.substr(0, 4);
    const std::string earliestZ = shifted(*newestFund, 4);
    // A newest sheet before the earliest Z: sheets of the set deleted since,
    // and Z's year is no longer bounded.
    if (earliestZ > newest || earliestZ.substr(0, 4) != year) return;

    struct Series {
        int64_t days = 0;
        bool cancelled = false;
        std::set<std::string> unmarked;
    };
    std::map<std::string, Series> series;  // by SORSZ
    for (const Sheet& s : sheets) {
        if (s.resz.empty() || !isPeriod(s.idoszak) || s.idoszak.substr(0, 4) != year) continue;
        Series& one = series[s.sorsz];
        if (s.sznap) one.days += *s.sznap;
        if (s.modtipus == "S") one.cancelled = true;
        if (s.tele != "*") one.unmarked.insert(s.key);
    }
    for (const auto& [sorsz, one] : series) {
        if (one.days != 50 || one.cancelled || one.unmarked.empty()) continue;
        report.problems.push_back("A(z) " + year + ". évi " + sorsz +
                                  " sorszámú részszámla-sorozat napjainak összege 50, de ezeken a részein "
                                  "nincs meg a teljes sorozat jele (*): " +
                                  named(one.unmarked) +
                                  " (a teljes adatállomány beolvasása a legújabb év minden ilyen sorozatát "
                                  "megjelöli).");
    }
}

} // namespace

void checkSendingTraces(const TableImage* hlapa, const TableImage* zaras, FileReport& hlapaReport,
                        FileReport& zarasReport) {
    if (!hlapa) return;
    const std::vector<Sheet> sheets = sheetsOf(*hlapa);
    if (zaras) {
        const auto stamped = bySendingPeriod(sheets);
        const auto rows = periodRows(*zaras);
        reportStampsWithoutRow(stamped, rows, sheets, zarasReport);
        reportUncountedRows(*zaras, stamped, rows, zarasReport);
    }
    reportMissingSeriesMarks(sheets, hlapaReport);
}

} // namespace velmora::check
