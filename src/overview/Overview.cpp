#include "overview/Overview.h"

#include "register/Register.h"

namespace velmora::overview {

namespace {

bool anySheet(const YearStates& s) { return !s.rows.empty(); }

bool anyAnswer(const Deadlines& d) {
    for (const FundAnswer& a : d.answers)
        if (!a.answered.empty()) return true;
    return false;
}

} // namespace

Overview makeOverview(db::Database& db, const app::Session& session, app::Dialogs& dialogs) {
    Overview o;
    o.period = session.mIdoszak;
    o.year = session.mIdoszak.substr(0, 4);
    try {
        o.provider = reg::providerCaption(db);
    } catch (const std::exception&) {
        // The caption stays without the provider.
    }
    o.budget = yearBudget(db, o.year, dialogs);
    o.nurses = yearNurses(db, o.year, dialogs);
    try {
        o.states = yearStates(db, o.year);
    } catch (const std::exception& e) {
        o.statesRead = false;
        o.notes.push_back(std::string("A lapok állapota nem olvasható: ") + e.what());
    }
    o.deadlines = deadlines(o.states.periods, o.period, o.year, session.clock().today());
    o.lastBackup = backup::lastBackup(session.mentdir);
    o.backupStale = backup::backupStale(o.lastBackup, session.clock().today());
    for (std::string& note : overviewNotes(o)) o.notes.push_back(std::move(note));
    return o;
}

std::vector<std::string> overviewNotes(const Overview& o) {
    std::vector<std::string> notes;
    if (!o.budget.anyContract())
        notes.push_back("A(z) " + o.year + ". évre nincs érvényes szerződés: a szerződött napkeret nem ábrázolható.");
    for (const MonthBudget& m : o.budget.months)
        if (m.over())
            notes.push_back(m.period + ": a rögzített napok száma (" + std::to_string(m.recordedDays) +
                            ") meghaladja a szerződött napkeretet (" + std::to_string(*m.contractDays) + ").");
    if (o.statesRead && !anySheet(o.states)) notes.push_back("A(z) " + o.year + ". évben nincs rögzített elszámolási lap.");
    if (o.nurses.nurses.empty() && o.nurses.failed.empty())
        notes.push_back("A szerződésben nincs dolgozó: a szakápolók kapacitása nem számolható.");
    for (const NurseLoad& n : o.nurses.nurses)
        if (n.noHours()) notes.push_back("Nincs óraszáma a szerződésben: " + n.nev + " (" + n.taj + ").");
    for (const std::string& p : o.nurses.failed) notes.push_back(p + ": a kapacitás nem számolható.");
    if (!o.deadlines.answers.empty() && !anyAnswer(o.deadlines))
        notes.push_back("A RUV válasza egyetlen elküldött időszakra sincs még beolvasva: a ki nem fizetett napok nem ismertek.");
    if (!o.deadlines.currentShipped)
        notes.push_back("A(z) " + o.period + " időszak adatküldése még nem készült el.");
    if (!o.lastBackup)
        notes.push_back("Még nem készült biztonsági mentés.");
    else if (o.backupStale)
        notes.push_back("Az utolsó biztonsági mentés régebbi egy hétnél (" + o.lastBackup->when + ")!");
    return notes;
}

} // namespace velmora::overview
