// A child process for the kill tests of the history: it saves a new sheet
// the way the program does — its header row in HLAPA, a visit row in HLAPB
// and the sheet's history row, long enough to continue in a second row, with
// the end of the chain moved on — as one write unit; and it stops itself
// with SIGKILL at a chosen write or sync.
//
//   velmora-history-writer DIR count      prints how many writes and syncs it made
//   velmora-history-writer DIR before N   SIGKILL just before the Nth write or sync
//   velmora-history-writer DIR torn N     the Nth write reaches the file only in part, then SIGKILL
#include "db/Os.h"
#include "db/WriteUnit.h"
#include "store/History.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

using namespace velmora;

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
    namespace schema = store::schema;
    db::Database db(dir);
    for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::ELOZMENY(), &schema::ELOZVEG()})
        store::tableOf(db, *def).open();
    db::Table& hlapa = store::tableOf(db, schema::HLAPA());
    db::Table& hlapb = store::tableOf(db, schema::HLAPB());

    db::WriteUnit unit(db);
    hlapa.append();
    hlapa.setField("Idoszak", "2024.06");
    hlapa.setField("Sorsz", "00003");
    hlapa.setField("Taj", "111111111");
    hlapa.setField("Sznap", 3);
    hlapa.post();
    hlapb.append();
    hlapb.setField("Idoszak", "2024.06");
    hlapb.setField("Sorsz", "00003");
    hlapb.setField("Tev3", "1357");
    hlapb.post();
    store::history::ChangeText made{{{"TAJ", "", "111111111"}, {"SZNAP", "", "3"}, {"TEV3", "", "1357"}},
                                    "Látogatás, sebkötözés, " + std::string(180, '.')};
    store::history::record(db, {store::history::kNewSheet, "2024.06", "00003", "", "111111111", made});
    unit.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: velmora-history-writer DIR count|before N|torn N\n";
        return 64;
    }
    const std::string dir = argv[1], how = argv[2];
    if (how == "before" || how == "torn") {
        if (argc < 4) return 64;
        stop = how == "before" ? Stop::Before : Stop::Torn;
        stopAt = std::atol(argv[3]);
    }
    db::os::testing::calls().pwrite = countedPwrite;
    db::os::testing::calls().fsync = countedFsync;
    try {
        saveSheet(dir);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    if (how == "count") std::cout << calls << "\n";
    return 0;
}
