#pragma once
// The state the main window owns for the whole run: where things are, which
// billing period is being worked on and what follows from it, and the flags
// the windows leave for each other. Logic takes the session instead of
// reaching into a window.
#include "app/Clock.h"

#include <string>

namespace velmora::app {

class Session {
public:
    explicit Session(const Clock& clock) : clock_(clock) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Clock& clock() const { return clock_; }

    // Directories. dataDir is where the tables live: DATA beside the
    // program, with a trailing separator. The rest are set by Konyvtaraz.
    std::string dataDir;
    std::string gdir;     // working directory at start-up
    std::string kadat;    // gdir/DATA
    std::string ktemp;    // gdir/TEMP
    std::string klista;   // gdir/LISTA
    std::string kkuld;    // gdir/KULD/ (with the trailing separator)
    std::string mentdir;  // dataDir/MENT, where backups go

    // Current billing period. Until the period window accepts one the
    // program shows, and therefore works with, the period label's initial
    // text; the derived days stay empty until then.
    std::string mIdoszak = "2004.01";
    std::string IDOSZAK1, IDOSZAK2;  // first and last day, "YYYY.MM.DD"
    std::string IDOSZL1, IDOSZL2;    // the same as "DD.MM.YYYY"
    int alapert = 0;                 // daily base fee of the period, Ft
    int ellsz = 0;                   // base of substitute patient identifiers

    bool idobe = false;    // period window opened from the menu (not at start-up)
    bool jels2 = false;    // login window runs as password change
    bool zarnez = false;   // the user chose to work in a closed period
    bool kuldnez = false;  // register opened for sending rather than recording
    bool fment = false;    // the location window was confirmed

    std::string v_finkod;  // provider's financing code from the contract
    std::string v_datum;   // contract start as text

    // Makes `period` (its first seven characters) the current period;
    // `closed` says the user accepted a closed one. Runs STS.
    void acceptPeriod(const std::string& period, bool closed);
    // Derives IDOSZAK1/2 and IDOSZL1/2 from the period.
    void STS(const std::string& period);
    // Sets ellsz and the base fee of the current period.
    void ertad();

private:
    const Clock& clock_;
};

} // namespace velmora::app
