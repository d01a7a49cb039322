// The demo's sheets, entered as the office enters them. The billing period
// moves month by month (today is the 3rd of the month after it); in each,
// the next parts of the running partial-invoice series come first, then
// the patients whose next episode starts. Every field is filled and left
// through the entry logic, then "Mentés" stores the sheet; any box the
// logic shows on the way is the generator's fault and stops the run.
#include "demo_sheets.h"

#include "demo_dice.h"

#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/Session.h"
#include "app/TextHelpers.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "program/StartupSequence.h"
#include "sheets/CrossChecks.h"
#include "sheets/SheetCheck.h"
#include "sheets/SheetEntry.h"
#include "sheets/SheetStore.h"
#include "store/TableSetup.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace velmora::demo {

namespace {

using sheets::kActivities;
using sheets::SheetForm;
using sheets::SheetKey;
using sheets::SheetKind;


// A patient's visit days stay below the 150 the checks warn of.
constexpr int kPatientDays = 140;
// Fewer days than this left: no new episode.
constexpr int kEpisodeDays = 6;

// The entry's user: "Yes" to the save question, and every box kept, so a
// refused sheet can name its reasons.
class EntryDialogs : public app::Dialogs {
public:
    void error(const std::string& text) override { add("Hiba: " + text); }
    void error(const std::string& text, const std::string& detail) override {
        add("Hiba: " + text + " (" + detail + ")");
    }
    void warning(const std::string& text) override { add("Figyelmeztetés: " + text); }
    void information(const std::string& text) override { add("Tájékoztatás: " + text); }
    void message(const std::string& text) override { add(text); }
    bool ask(const app::Question& question) override {
        if (question.id != app::Msg::SaveSheetQuestion) add("Kérdés: " + question.text);
        return true;
    }
    void status(int, const std::string&) override {}
    std::optional<std::string> chooseDirectory(const std::string& caption, const std::string&) override {
        add("Könyvtárválasztás: " + caption);
        return std::nullopt;
    }

    // The boxes shown since the last call, one a line; "" when none.
    std::string take() { return std::exchange(boxes_, {}); }

private:
    void add(std::string text) {
        std::replace(text.begin(), text.end(), '\r', ' ');
        boxes_ += "  " + text + "\n";
    }
    std::string boxes_;
};

// --- what the sheets are made of ----------------------------------------------

struct Nurse {
    std::string taj, from, until;  // employed from/until these periods ("" open)
    bool employedIn(const std::string& period) const {
        return from <= period && (until.empty() || until >= period);
    }
};

struct MasterData {
    std::vector<std::string> patients, doctors;
    std::vector<Nurse> nurses;  // the contract's employees among the nurses
    // Diagnoses by their use on a sheet; Z codes are never among them.
    std::vector<std::string> cancers, spread, comorbid;
};

std::vector<std::string> column(db::Sql& sql, const std::string& statement) {
    std::vector<std::string> out;
    for (const auto& row : sql.run(statement).rows) out.push_back(row[0].asString());
    return out;
}

bool startsWithAny(const std::string& code, std::initializer_list<const char*> prefixes) {
    for (const char* p : prefixes)
        if (code.rfind(p, 0) == 0) return true;
    return false;
}

MasterData readMasterData(db::Database& db) {
    db::Sql sql(db);
    MasterData m;
    m.patients = column(sql, "select taj from beteg order by taj");
    m.doctors = column(sql, "select orvoskod from orvos order by orvoskod");
    const auto staff = sql.run("select a.aptaj,h.kezd,h.veg from apol a, hszolgsz h where a.aptaj=h.taj "
                               "order by h.ssorszam");
    for (const auto& row : staff.rows)
        m.nurses.push_back({row[0].asString(), row[1].asString().substr(0, 7), row[2].asString().substr(0, 7)});
    for (const std::string& code : column(sql, "select kod10 from bnotorzs order by kod10")) {
        if (code.size() >= 4 && code[0] == 'C' && !startsWithAny(code, {"C77", "C78", "C79", "C80"}))
            m.cancers.push_back(code);
        else if (startsWithAny(code, {"C78", "C79", "R52"}))
            m.spread.push_back(code);
        else if (startsWithAny(code, {"E", "I", "J", "N"}))
            m.comorbid.push_back(code);
    }
    if (m.patients.empty() || m.doctors.empty() || m.nurses.empty() || m.cancers.empty() || m.spread.empty() ||
        m.comorbid.empty())
        throw SheetRefused(
            "A lapokhoz hiányzik a betegek, az orvosok, a szerződött ápolók vagy a BNO kódok egy része.");
    return m;
}

// What stays the same on every sheet of a patient.
struct Profile {
    std::string alapb, fodiag, fekvd, kiserd;
    std::string orderingDoctor, proposingDoctor;
    bool supplement = false;  // "Területi pótlék"
    bool pain = false;        // pain relief on most visits
};

Profile profileOf(const MasterData& m, Dice& dice) {
    Profile p;
    p.alapb = dice.pick(m.cancers);
    p.fodiag = dice.chance(60) ? p.alapb : dice.pick(m.spread);
    if (dice.chance(40)) p.fekvd = p.alapb;
    if (dice.chance(50)) p.kiserd = dice.pick(m.comorbid);
    p.orderingDoctor = dice.pick(m.doctors);
    if (dice.chance(30)) {
        p.proposingDoctor = dice.pick(m.doctors);
        if (p.proposingDoctor == p.orderingDoctor) p.proposingDoctor.clear();
    }
    p.supplement = dice.chance(25);
    p.pain = dice.chance(50);
    return p;
}

// One order's care: a full invoice, or a series of monthly parts.
struct Episode {
    SheetKey first;             // the key of its first sheet
    std::string lastResz;       // the part letter recorded last
    std::vector<int> partDays;  // visit days of each month
    size_t part = 0;            // parts recorded
    int billed = 0;             // visit days on the parts recorded
    int elviz = 0;              // days ordered
    int elszam = 0;             // the order number
    bool closes = false;        // the last part gets a closing date
    std::string nurse, helper;  // who visits; the helper does the therapies
};

struct Patient {
    std::string taj;
    Profile profile;
    int nextStart = 0;  // the first month a new episode may start in
    int lastElszam = 0;
    bool lastClosed = false;
    bool done = false;  // no more care
    int daysLeft = kPatientDays;
    std::set<std::string> numbers;  // SORSZ of the patient's sheets, any year
    std::optional<Episode> episode;
};

std::string numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

// The activities of a visit day: skilled nursing always, the rest as the
// patient needs; the sheet's first visit plans the medication, the
// episode's first also organises the social care.
std::array<bool, kActivities> dayActivities(const Profile& profile, bool firstOfSheet, bool firstOfEpisode,
                                            Dice& dice) {
    std::array<bool, kActivities> a{};
    a[0] = true;
    a[1] = profile.pain && dice.chance(70);
    a[2] = dice.chance(8);
    a[3] = dice.chance(5);
    a[4] = firstOfEpisode;
    a[5] = dice.chance(8);
    a[6] = dice.chance(15);
    a[7] = firstOfSheet || dice.chance(10);
    return a;
}

// Therapies (3, 4, 6, 7) are the helper's; the rest the nurse's.
bool helperActivity(int k) { return k == 3 || k == 4 || k == 6 || k == 7; }

// `count` distinct days from `first` to `last`, `first` always among them, in order.
std::vector<int> visitDays(int first, int last, int count, Dice& dice) {
    std::vector<int> pool;
    for (int d = first + 1; d <= last; ++d) pool.push_back(d);
    std::vector<int> days = {first};
    for (int i = 1; i < count && !pool.empty(); ++i) {
        const size_t at = static_cast<size_t>(dice.below(pool.size()));
        days.push_back(pool[at]);
        pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(at));
    }
    std::sort(days.begin(), days.end());
    return days;
}

std::string periodOf(int year, int month) { return std::to_string(year) + "." + app::TwoDigits(month); }

std::vector<std::string> periodsUpTo(const std::string& last, int months) {
    int year = std::stoi(last.substr(0, 4)), month = std::stoi(last.substr(5, 2));
    std::vector<std::string> out(static_cast<size_t>(months));
    for (int i = months - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = periodOf(year, month);
        if (--month == 0) {
            month = 12;
            --year;
        }
    }
    return out;
}

std::string frequencyText(int visitsInMonth) {
    if (visitsInMonth <= 8) return "heti 2 alkalom";
    if (visitsInMonth <= 13) return "heti 3 alkalom";
    return "heti 4 alkalom";
}

class Recorder {
public:
    Recorder(const std::string& dataDir, uint64_t seed)
        : clock_({2000, 1, 1}), session_(clock_), db_(dataDir), ctx_{db_, session_, dialogs_}, dice_(seed) {}

    SheetTally run(const std::vector<std::string>& periods) {
        periods_ = periods;
        openTables();
        master_ = readMasterData(db_);
        for (const std::string& taj : master_.patients) {
            Patient p;
            p.taj = taj;
            p.profile = profileOf(master_, dice_);
            p.nextStart = dice_.chance(45) ? 0 : dice_.between(1, 12);
            patients_.push_back(std::move(p));
        }
        for (int m = 0; m < static_cast<int>(periods_.size()); ++m) recordMonth(m);
        return tally_;
    }

private:
    // The sheets of a period are entered on the 3rd of the next month.
    void switchTo(const std::string& period) {
        const app::Date first{std::stoi(period.substr(0, 4)), std::stoi(period.substr(5, 2)), 1};
        clock_.set(first.addMonths(1).addDays(2));
        session_.acceptPeriod(period, false);
        session_.ertad();
    }

    // The tables as the program's start opens them.
    void openTables() {
        store::Crtzaras(db_, dialogs_);
        switchTo(periods_.front());
        const bool opened = program::openTablesAfterPeriod(db_, session_, dialogs_);
        const std::string boxes = dialogs_.take();
        if (!opened || !boxes.empty()) throw SheetRefused("A táblák megnyitása nem sikerült:\n" + boxes);
    }

    // The user switches to the period and enters its sheets.
    void recordMonth(int m) {
        const std::string& period = periods_[static_cast<size_t>(m)];
        switchTo(period);

        for (Patient& p : patients_)
            if (p.episode) recordPart(p, m);

        std::vector<Patient*> starting;
        for (Patient& p : patients_)
            if (!p.done && !p.episode && m >= p.nextStart) starting.push_back(&p);
        // SORSZ restarts every year, and the order-number check looks past
        // the patient's sheets of the same number: a patient takes a number
        // that none of his sheets had.
        while (!starting.empty()) {
            const std::string number = sheets::nextSheetNumber(db_, period.substr(0, 4));
            auto it = std::find_if(starting.begin(), starting.end(),
                                   [&](const Patient* p) { return !p->numbers.count(number); });
            if (it == starting.end()) it = starting.begin();
            startEpisode(**it, m);
            starting.erase(it);
        }
    }

    void startEpisode(Patient& p, int m) {
        if (p.daysLeft < kEpisodeDays) {
            p.done = true;
            return;
        }
        const std::string& period = periods_[static_cast<size_t>(m)];
        const int monthsLeftInYear = 12 - std::stoi(period.substr(5, 2)) + 1;  // a series never spans January
        int parts = 1;
        if (monthsLeftInYear >= 2 && dice_.chance(45)) parts = dice_.between(2, std::min(4, monthsLeftInYear));

        Episode e;
        const bool fillsOrder = parts >= 3 && p.daysLeft >= 50 && dice_.chance(35);
        if (fillsOrder) {
            // The whole order billed: the series' visit days total 50.
            for (int i = 0; i < parts; ++i) e.partDays.push_back(50 / parts + (i < 50 % parts ? 1 : 0));
            e.elviz = 50;
        } else {
            int budget = std::min(p.daysLeft, 50);
            for (int i = 0; i < parts && budget >= 3; ++i) {
                const int days = std::min(dice_.between(6, 13), budget);
                e.partDays.push_back(days);
                budget -= days;
            }
            const int total = std::accumulate(e.partDays.begin(), e.partDays.end(), 0);
            e.elviz = std::min(50, total + dice_.between(0, 6));
        }
        p.daysLeft -= std::accumulate(e.partDays.begin(), e.partDays.end(), 0);
        e.closes = dice_.chance(35);
        e.elszam = p.lastClosed ? 1 : p.lastElszam + 1;

        // Nurses employed over the whole episode.
        const int lastMonth =
            std::min(m + static_cast<int>(e.partDays.size()) - 1, static_cast<int>(periods_.size()) - 1);
        std::vector<std::string> staff;
        for (const Nurse& n : master_.nurses)
            if (n.employedIn(period) && n.employedIn(periods_[static_cast<size_t>(lastMonth)])) staff.push_back(n.taj);
        if (staff.empty()) throw SheetRefused("Nincs szerződött ápoló a(z) " + period + " időszakban.");
        e.nurse = dice_.pick(staff);
        e.helper = dice_.pick(staff);

        const bool continuing = !p.lastClosed && p.lastElszam > 0 && p.nextStart == m;
        p.episode = std::move(e);
        recordFirst(p, m, continuing);
    }

    // --- filling the form as the user does ----------------------------------------

    // Types the text into the control and leaves it.
    void type(SheetForm& form, const std::string& control, const std::string& text) {
        *form.text(control) = text;
        leave(form, control);
    }

    void leave(SheetForm& form, const std::string& control) {
        sheets::applyAnswers(form, app::present(dialogs_, sheets::leaveField(form, control, ctx_).findings));
        const std::string boxes = dialogs_.take();
        if (!boxes.empty()) throw SheetRefused(where(form) + ", " + control + " mező:\n" + boxes);
    }

    std::string where(const SheetForm& form) const {
        return "A(z) " + form.m_sorsz + " számú lap (" + form.m_idosz + ", TAJ " + form.m_taj + ")";
    }

    // The month's visits: activity codes, the activities' nurses, the
    // visiting nurses. The start of care is `firstDay` on the first sheet.
    std::vector<int> fillVisits(SheetForm& form, Patient& p, int firstDay, int count, bool firstOfEpisode) {
        const Episode& e = *p.episode;
        const int lastDay = app::DaysInPeriod(form.m_idosz);
        const std::vector<int> days = visitDays(firstDay, lastDay, count, dice_);
        std::vector<std::array<bool, kActivities>> chosen;
        std::array<bool, kActivities> used{};
        for (size_t i = 0; i < days.size(); ++i) {
            chosen.push_back(dayActivities(p.profile, i == 0, firstOfEpisode && i == 0, dice_));
            for (int k = 0; k < kActivities; ++k) used[k] = used[k] || chosen.back()[k];
        }
        for (int k = 1; k <= kActivities; ++k)
            if (used[k - 1] && app::IsBlank(form.aptev[k - 1]))
                type(form, numbered("aptev", k), helperActivity(k) ? e.helper : e.nurse);
        auto capacity = sheets::countCapacity(db_, form.m_idosz, nullptr, dialogs_);
        for (size_t i = 0; i < days.size(); ++i) {
            type(form, numbered("tev", days[i]), sheets::ActivityCode::fromChoice(chosen[i]));
            const std::string& visitor = dice_.chance(15) ? e.helper : e.nurse;
            type(form, numbered("aptaj", days[i]), capacity ? withRoom(*capacity, visitor, form.m_idosz) : visitor);
        }
        return days;
    }

    // The visiting nurse of a day: the one chosen, or, when her days of the
    // month are used up, the contract's nurse with the most days left (the
    // episodes fall differently on the months of each end month, and a
    // month's visits must stay within the nurses' working time). The day is
    // counted for her.
    std::string withRoom(sheets::CapacityCount& capacity, const std::string& chosen, const std::string& period) {
        const auto left = [&](const std::string& taj) {
            const auto it = capacity.nurses.find(taj);
            return it == capacity.nurses.end() ? 0 : it->second.keret - it->second.napdb;
        };
        std::string visitor = chosen;
        if (capacity.nurses.count(chosen) && left(chosen) <= 0)
            for (const Nurse& n : master_.nurses)
                if (n.employedIn(period) && left(n.taj) > left(visitor)) visitor = n.taj;
        capacity.countVisit(visitor);
        return visitor;
    }

    // The closing date of the episode's last sheet: its last visit or a few days later.
    void closeIfLast(SheetForm& form, const Episode& e, int lastVisit) {
        if (!e.closes || e.part + 1 != e.partDays.size()) return;
        const int lastDay = app::DaysInPeriod(form.m_idosz);
        const int day = lastVisit + dice_.between(0, std::min(3, lastDay - lastVisit));
        type(form, "m_lezdat", form.m_idosz + "." + app::TwoDigits(day));
    }

    // A full invoice or a series' first part.
    void recordFirst(Patient& p, int m, bool continuing) {
        Episode& e = *p.episode;
        const Profile& pr = p.profile;
        const std::string& period = periods_[static_cast<size_t>(m)];
        const int monthDays = app::DaysInPeriod(period);
        const int count = e.partDays.front();
        const int latestStart = std::max(1, monthDays - 2 * count + 1);
        const int start = dice_.between(1, std::min(continuing ? 3 : 18, latestStart));
        const int ordered = start - dice_.between(0, std::min(4, start - 1));

        SheetForm form = sheets::newSheetForm(ctx_, e.partDays.size() > 1 ? SheetKind::FirstPart : SheetKind::Full);
        type(form, "m_taj", p.taj);
        form.CB1 = pr.supplement;
        if (!pr.fekvd.empty()) type(form, "m_fekvd", pr.fekvd);
        type(form, "m_alapb", pr.alapb);
        if (!pr.kiserd.empty()) type(form, "m_kiserd", pr.kiserd);
        type(form, "m_fodiag", pr.fodiag);
        type(form, "m_eorv", pr.orderingDoctor);
        if (!pr.proposingDoctor.empty()) type(form, "m_jorv", pr.proposingDoctor);
        type(form, "m_elrend", period + "." + app::TwoDigits(ordered));
        type(form, "m_szakvet", period + "." + app::TwoDigits(start));
        type(form, "m_elviz", std::to_string(e.elviz));
        type(form, "m_gyak", frequencyText(count));
        type(form, "m_elszam", std::to_string(e.elszam));
        leave(form, "m_elszviz");
        const std::vector<int> days = fillVisits(form, p, start, count, true);
        closeIfLast(form, e, days.back());
        save(form);
        e.first = form.key();
        partRecorded(p, form, m, static_cast<int>(days.size()));
    }

    // A next part: the first part's header, this month's visits, the days
    // billed before.
    void recordPart(Patient& p, int m) {
        Episode& e = *p.episode;
        const std::string& period = periods_[static_cast<size_t>(m)];
        const auto stored = sheets::loadSheet(db_, e.first);
        if (!stored) throw SheetRefused("Nem található a(z) " + e.first.number() + " számú első rész (" +
                                        e.first.idoszak + ").");
        SheetForm form = sheets::storedSheetForm(ctx_, *stored, sheets::EntryMode::New);
        form.uresz = sheets::nextPartLetter(e.lastResz);
        form.m_sorsz = form.usorsz + form.uresz;
        form.m_idosz = period;
        form.tnap = app::DaysInPeriod(period);
        for (int d = 0; d < sheets::kMaxDays; ++d)
            form.apdat[d] = d < form.tnap ? period + "." + app::TwoDigits(d + 1) : std::string();
        form.tev.fill("");
        form.aptaj.fill("");
        form.m_lezdat.clear();
        form.vszam = "0";
        form.vszame = std::to_string(e.billed);

        const int count = e.partDays[e.part];
        type(form, "m_elszviz", std::to_string(e.billed));
        const int first = dice_.between(1, std::max(1, form.tnap - 2 * count + 1));
        const std::vector<int> days = fillVisits(form, p, first, count, false);
        closeIfLast(form, e, days.back());
        save(form);
        partRecorded(p, form, m, static_cast<int>(days.size()));
    }

    void save(SheetForm& form) {
        const sheets::SaveResult result = sheets::saveSheet(form, ctx_);
        const std::string boxes = dialogs_.take();
        if (result.outcome != sheets::SaveOutcome::Saved || !boxes.empty())
            throw SheetRefused(where(form) + " nem menthető:\n" + boxes);
    }

    void partRecorded(Patient& p, const SheetForm& form, int m, int visits) {
        Episode& e = *p.episode;
        e.lastResz = form.uresz;
        e.billed += visits;
        ++e.part;
        p.numbers.insert(form.usorsz);
        p.lastElszam = e.elszam;
        count(form, visits);
        if (e.part < e.partDays.size()) return;
        // The episode is over: after a closing date the care may start
        // again later with a new order numbered 1, or end for good; an
        // open one goes on with the next order, mostly the next month.
        p.lastClosed = e.closes;
        if (e.closes) {
            p.done = dice_.chance(45);
            p.nextStart = m + 1 + dice_.between(1, 4);
        } else {
            p.nextStart = m + 1 + (dice_.chance(70) ? 0 : dice_.between(1, 2));
        }
        p.episode.reset();
    }

    void count(const SheetForm& form, int visits) {
        switch (sheets::kindOf(form.uresz)) {
        case SheetKind::Full: ++tally_.full; break;
        case SheetKind::FirstPart: ++tally_.firstParts; break;
        case SheetKind::NextPart: ++tally_.nextParts; break;
        }
        if (!form.m_lezdat.empty()) ++tally_.closed;
        tally_.visitDays += visits;
        if (tally_.lastPeriod != form.m_idosz) ++tally_.periods;
        if (tally_.firstPeriod.empty()) tally_.firstPeriod = form.m_idosz;
        tally_.lastPeriod = form.m_idosz;
    }

    app::FixedClock clock_;
    app::Session session_;
    EntryDialogs dialogs_;
    db::Database db_;
    sheets::SheetContext ctx_;
    Dice dice_;
    std::vector<std::string> periods_;
    MasterData master_;
    std::vector<Patient> patients_;
    SheetTally tally_;
};

} // namespace

SheetTally recordDemoSheets(const std::string& dataDir, const std::string& lastPeriod, int months, uint64_t seed) {
    return Recorder(dataDir, seed).run(periodsUpTo(lastPeriod, months));
}

} // namespace velmora::demo
