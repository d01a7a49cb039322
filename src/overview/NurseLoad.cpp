#include "overview/NurseLoad.h"

#include "db/Collation.h"
#include "overview/Budget.h"
#include "sheets/CrossChecks.h"

#include <algorithm>
#include <map>

namespace velmora::overview {

bool NurseLoad::noHours() const {
    bool employed = false;
    for (const auto& m : months) {
        if (!m) continue;
        employed = true;
        if (m->keret > 0) return false;
    }
    return employed;
}

bool NurseLoad::overAny() const {
    return std::any_of(months.begin(), months.end(), [](const auto& m) { return m && m->over(); });
}

YearNurses yearNurses(db::Database& db, const std::string& year, app::Dialogs& dialogs) {
    YearNurses out;
    std::map<std::string, NurseLoad> byTaj;
    const std::vector<std::string> periods = periodsOfYear(year);
    for (size_t i = 0; i < periods.size(); ++i) {
        const auto count = sheets::countCapacity(db, periods[i], nullptr, dialogs);
        if (!count) {
            out.failed.push_back(periods[i]);
            continue;
        }
        for (const auto& [taj, nurse] : count->nurses) {
            NurseLoad& load = byTaj[taj];
            if (load.months.empty()) load = NurseLoad{taj, nurse.nev, std::vector<std::optional<NurseMonth>>(12)};
            load.months[i] = NurseMonth{nurse.keret, nurse.napdb};
        }
    }
    for (auto& [taj, load] : byTaj) out.nurses.push_back(std::move(load));
    std::sort(out.nurses.begin(), out.nurses.end(),
              [](const NurseLoad& a, const NurseLoad& b) {
                  const int byName = db::collation::compare(a.nev, b.nev);
                  return byName != 0 ? byName < 0 : a.taj < b.taj;
              });
    return out;
}

} // namespace velmora::overview
