// A child process for the kill tests of write units. It saves a sheet the
// way the program does — a header row in HLAPA, visit rows in HLAPB, a
// change to the patient in BETEG — as one write unit, or it recovers a data
// directory; and it stops itself with SIGKILL at a chosen write or sync.
//
//   velmora-unit-writer DIR unit|recover count      prints how many writes and syncs it made
//   velmora-unit-writer DIR unit|recover before N   SIGKILL just before the Nth write or sync
//   velmora-unit-writer DIR unit|recover torn N     the Nth write reaches the file only in part
//                                                   (half of it), then SIGKILL
#include "db/Database.h"
#include "db/Os.h"
#include "db/Journal.h"
#include "db/WriteUnit.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

using namespace velmora::db;

enum class Stop { Never, Before, Torn };
Stop stop = Stop::Never;
long stopAt = 0;
long calls = 0;

[[noreturn]] void die() {
    ::raise(SIGKILL);
    ::_exit(99);  // never reached
}

ssize_t countedPwrite(int fd, const void* data, size_t size, off_t offset) {
    if (++calls == stopAt) {
        if (stop == Stop::Torn && size > 1) ::pwrite(fd, data, size / 2, offset);
        die();
    }
    return ::pwrite(fd, data, size, offset);
}

int countedFsync(int fd) {
    if (++calls == stopAt) die();
    return ::fsync(fd);
}

void saveSheet(const std::string& dir) {
    Database db(dir);
    Table& hlapa = db.table("HLAPA", "HLapa.dbf");
    Table& hlapb = db.table("HLAPB", "HLapb.dbf");
    Table& beteg = db.table("BETEG", "Beteg.dbf");
    for (Table* t : {&hlapa, &hlapb, &beteg}) t->open();

    WriteUnit unit(db);
    hlapa.append();
    hlapa.setField("Idoszak", "2024.06");
    hlapa.setField("Sorsz", "00003");
    hlapa.setField("Taj", "111111111");
    hlapa.setField("Elszam", 3);
    hlapa.post();
    for (const char* day : {"2024.06.03", "2024.06.04", "2024.06.05"})
        hlapb.appendValues({"2024.06", "00003", Value(), "1357", day, "Látogatás, sebkötözés"});
    if (!beteg.locate("TAJ", "111111111")) std::exit(3);
    beteg.edit();
    beteg.setField("Nev", "Kovács Ágnes Éva");
    beteg.post();
    beteg.updateValues(0, {{2, Value("1950.01.02")}});
    unit.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: velmora-unit-writer DIR unit|recover count|before N|torn N\n";
        return 64;
    }
    const std::string dir = argv[1], what = argv[2], how = argv[3];
    if (how == "before" || how == "torn") {
        if (argc < 5) return 64;
        stop = how == "before" ? Stop::Before : Stop::Torn;
        stopAt = std::atol(argv[4]);
    }
    os::testing::calls().pwrite = countedPwrite;
    os::testing::calls().fsync = countedFsync;
    try {
        if (what == "unit") saveSheet(dir);
        else recoverJournal(dir);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    if (how == "count") std::cout << calls << "\n";
    return 0;
}
