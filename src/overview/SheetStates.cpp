#include "overview/SheetStates.h"

#include "app/Period.h"
#include "app/TextHelpers.h"
#include "overview/Budget.h"

namespace velmora::overview {

namespace {

// ELKULDVE holding the period of a shipment ("YYYY.MM"), not "YY" (waiting
// to be sent again) nor "xxxx.xx" (taken over from the fund).
bool sentWithShipment(const std::string& elkuldve) {
    if (elkuldve.size() != 7 || elkuldve[4] != '.') return false;
    for (size_t i = 0; i < 7; ++i)
        if (i != 4 && (elkuldve[i] < '0' || elkuldve[i] > '9')) return false;
    return true;
}

} // namespace

const char* stateName(SheetState state) {
    switch (state) {
    case SheetState::Recorded: return "Rögzített";
    case SheetState::Sent: return "Elküldött";
    case SheetState::SentLate: return "Később küldött";
    case SheetState::Corrected: return "Javított";
    case SheetState::ClosedLater: return "Utólag lezárt";
    case SheetState::Cancelled: return "Sztornózott";
    case SheetState::Billed: return "RUV által elszámolt";
    case SheetState::NotPaid: return "Ki nem fizetett napos";
    }
    return "";
}

bool inState(const SheetRow& s, SheetState state, const std::map<std::string, PeriodRow>& periods) {
    switch (state) {
    case SheetState::Recorded: return true;
    case SheetState::Sent: return sentWithShipment(s.elkuldve);
    case SheetState::SentLate: return sentWithShipment(s.elkuldve) && s.elkuldve > s.key.idoszak;
    case SheetState::Corrected: return s.modtipus == "K";
    case SheetState::ClosedLater: return s.modtipus == "L";
    case SheetState::Cancelled: return s.modtipus == "S";
    case SheetState::Billed: return !s.allapot.empty();
    case SheetState::NotPaid: return daysNotPaid(s, periods) > 0;
    }
    return false;
}

YearStates yearStates(db::Database& db, const std::string& year) {
    YearStates out;
    out.periods = periodRows(db);
    out.rows = sheetRows(db, year + ".01", year + ".12");
    std::map<std::string, size_t> month;
    for (const std::string& p : periodsOfYear(year)) {
        month[p] = out.months.size();
        out.months.push_back({p, {}, 0});
    }
    for (const SheetRow& s : out.rows) {
        const auto m = month.find(s.key.idoszak);
        if (m == month.end()) continue;
        MonthStates& counts = out.months[m->second];
        for (int i = 0; i < kStates; ++i)
            if (inState(s, SheetState(i), out.periods)) ++counts.sheets[size_t(i)];
        counts.daysNotPaid += daysNotPaid(s, out.periods);
    }
    return out;
}

std::vector<sheets::SheetKey> YearStates::keys(const std::string& period, SheetState state) const {
    std::vector<sheets::SheetKey> out;
    for (const SheetRow& s : rows)
        if ((period.empty() || s.key.idoszak == period) && inState(s, state, periods)) out.push_back(s.key);
    return out;
}

std::vector<sheets::SheetKey> YearStates::nurseKeys(const std::string& period, const std::string& nurse) const {
    std::vector<sheets::SheetKey> out;
    for (const SheetRow& s : rows)
        if ((period.empty() || s.key.idoszak == period) && s.nurses.count(nurse)) out.push_back(s.key);
    return out;
}

int YearStates::total(SheetState state) const {
    int sum = 0;
    for (const MonthStates& m : months) sum += m.sheets[size_t(state)];
    return sum;
}

} // namespace velmora::overview
