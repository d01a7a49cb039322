// The monthly shipment on small data directories: which sheets the
// register offers, the opening's refusal, the state every sheet, visit row
// and ZARAS row is left in, KULD and LISTA afterwards, the copy, and the
// refusals and failures that must leave everything as it was.
#include "exchange/KuldFolder.h"
#include "exchange/Shipment.h"

#include "db/Os.h"
#include "db/Sql.h"
#include "db/WriteUnit.h"
#include "db/Table.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/DiskFull.h"
#include "support/Files.h"
#include "support/RecordingProgress.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

using Names = std::set<std::string>;

RawSheet sheet(const std::string& period, const std::string& sorsz, const std::string& elkuldve = "",
               const std::string& modtipus = "", bool marked = false) {
    RawSheet s{period, sorsz, "", people::patient, {{3, "1", people::nurse1}}};
    if (!elkuldve.empty()) s.header["Elkuldve"] = elkuldve;
    if (!modtipus.empty()) s.header["Modtipus"] = modtipus;
    if (marked) s.header["Jeloles"] = "*";
    return s;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every entry of a folder with its bytes ("/" after a folder's name).
std::map<std::string, std::string> contents(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        out[e.path().filename().string() + (e.is_directory() ? "/" : "")] = e.is_directory() ? "" : fileBytes(e.path());
    return out;
}

Names namesIn(const fs::path& dir) {
    Names out;
    for (const auto& [name, bytes] : contents(dir)) out.insert(name);
    return out;
}

// The windows after the files are in KULD, as the user answers them.
struct Windows : exchange::ShipmentWindows {
    std::optional<std::string> copyTo;
    std::vector<std::string> calls;
    bool pageLoaded = true;
    bool eReport() override {
        calls.push_back("e-report");
        return pageLoaded;
    }
    std::optional<std::string> copyDirectory() override {
        calls.push_back("copy");
        return copyTo;
    }
    void closeRegister() override { calls.push_back("close"); }
};

// A data directory with KULD and LISTA beside it and the shipment of
// 2024.06 made on 2024.07.05.
struct Shipment {
    SheetData data;
    fs::path kuld, lista;
    Windows windows;
    RecordingProgress progress;

    void open(const std::string& period = "2024.06") {
        data.open({2024, 7, 5}, period);
        const fs::path work = fs::path(data.dir()).parent_path() / ("work-" + fs::path(data.dir()).filename().string());
        kuld = work / "KULD";
        lista = work / "LISTA";
        fs::create_directories(kuld);
        fs::create_directories(lista);
        data.session().kkuld = kuld.string() + "/";
        data.session().klista = lista.string();
    }
    ~Shipment() {
        if (!kuld.empty()) fs::remove_all(kuld.parent_path());
    }
    void send() { exchange::sendMarked(data.db(), data.session(), data.dialogs(), progress, windows); }

    // What a refused or failed shipment must leave as it was.
    struct Snapshot {
        std::string hlapa, hlapb, zaras;
        std::map<std::string, std::string> kuld, lista;
        Names work;  // nothing left beside KULD
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() {
        return {data.rows("hlapa"), data.rows("hlapb"), data.rows("zaras"), contents(kuld), contents(lista),
                namesIn(kuld.parent_path())};
    }
    std::string sheetState(const std::string& sorsz) {
        const auto r = db::Sql(data.db()).run("select elkuldve,modtipus,jeloles from hlapa where sorsz=?", {sorsz});
        return r.rows.at(0)[0].asString() + "/" + r.rows.at(0)[1].asString() + "/" + r.rows.at(0)[2].asString();
    }
    std::string visitRowState(const std::string& sorsz) {
        return db::Sql(data.db()).run("select elkuldve from hlapb where sorsz=?", {sorsz}).rows.at(0)[0].asString();
    }
};


}  // namespace

TEST(Shipment, TheRegisterOffersTheSheetsThatMayGoOut) {
    struct Case {
        const char* sorsz;
        const char* idoszak;
        const char* elkuldve;
        const char* modtipus;
        bool in202406, in202402;  // listed for the shipment of that period
    };
    const Case cases[] = {
        {"00001", "2024.06", "", "", true, false},             // the period's own
        {"00002", "2024.02", "", "", true, true},              // four months back
        {"00003", "2024.01", "", "", false, true},             // five months back
        {"00004", "2024.07", "", "", false, false},            // after the period
        {"00005", "2024.05", "2024.05", "", false, false},     // sent with another shipment
        {"00006", "2024.04", "2024.06", "P", true, false},     // sent with this one
        {"00007", "2022.03", "YY", "K", true, true},           // corrected, any period
        {"00008", "2021.11", "YY", "S", true, true},           // cancelled, any period
        {"00009", "2023.01", "2024.06", "S", true, false},     // a cancellation sent with this one
        {"00010", "2024.05", "xxxx.xx", "", false, false},     // from the fund
        {"00011", "2023.10", "", "", false, true},             // across the year
        {"00012", "2023.09", "", "", false, false},
    };
    Shipment s;
    for (const Case& c : cases) s.data.sheet(sheet(c.idoszak, c.sorsz, c.elkuldve, c.modtipus));
    s.open();
    db::Table& hlapa = store::tableOf(s.data.db(), store::schema::HLAPA());
    for (const char* period : {"2024.06", "2024.02"}) {
        hlapa.setFilter(exchange::sendingFilter(period));
        Names listed;
        for (hlapa.first(); !hlapa.eof(); hlapa.next()) listed.insert(hlapa.text("SORSZ"));
        hlapa.clearFilter();
        for (const Case& c : cases)
            EXPECT_EQ(listed.count(c.sorsz) == 1, std::string(period) == "2024.06" ? c.in202406 : c.in202402)
                << period << " " << c.sorsz;
    }
}

TEST(Shipment, AnEarlierPeriodThanTheLastClosedIsNotOpened) {
    struct Case {
        const char* period;
        bool opens;
    };
    for (const Case c : {Case{"2024.05", false}, Case{"2024.06", true}, Case{"2024.07", true}}) {
        Shipment s;
        s.data.periodRow("2024.06", "2024.07.03").periodRow("2024.04", "2024.05.06");
        s.data.sheet(sheet("2024.06", "00001", "", "", true));
        s.open(c.period);
        reg::BulkToggle toggle{true};
        const auto filter = exchange::openForSending(s.data.db(), c.period, toggle, s.data.dialogs());
        EXPECT_EQ(filter.has_value(), c.opens) << c.period;
        EXPECT_EQ(s.data.dialogs().problems(),
                  c.opens ? std::vector<std::string>{} : std::vector<std::string>{exchange::kEarlierThanClosed});
        // Opening clears every mark and starts the bulk toggle off; a refusal touches nothing.
        EXPECT_EQ(s.sheetState("00001"), c.opens ? "//" : "//*") << c.period;
        EXPECT_EQ(toggle.on, !c.opens) << c.period;
    }
}

TEST(Shipment, SentSheetsVisitRowsAndTheClosedPeriod) {
    struct Case {
        const char* name;
        bool zarnez;                  // a repeat of a closed period's shipment
        const char* sorsz, *idoszak, *elkuldve, *modtipus;
        bool marked;
        const char* after;            // ELKULDVE/MODTIPUS/JELOLES
        const char* visitRow;
    };
    const Case sheets[] = {
        {"own period", false, "00001", "2024.06", "", "", true, "2024.06//", "2024.06"},
        {"late", false, "00002", "2024.04", "", "", true, "2024.06/P/", "2024.06"},
        {"cancelled", false, "00003", "2024.01", "YY", "S", true, "2024.06/S/", "2024.06"},
        {"corrected", false, "00004", "2023.12", "YY", "K", true, "2024.06/K/", "2024.06"},
        {"closed later", false, "00005", "2024.03", "YY", "L", true, "2024.06/L/", "2024.06"},
        {"not marked", false, "00006", "2024.06", "", "", false, "//", ""},
    };
    for (const bool repeat : {false, true}) {
        Shipment s;
        for (const Case& c : sheets) s.data.sheet(sheet(c.idoszak, c.sorsz, c.elkuldve, c.modtipus, c.marked));
        s.data.periodRow("2024.05", "2024.06.04");
        if (repeat) s.data.periodRow("2024.06", "2024.07.01");
        s.open();
        s.data.session().zarnez = repeat;
        s.data.dialogs().answerYes().answerNo();  // send; no e-report
        s.windows.copyTo = std::nullopt;
        s.send();

        EXPECT_EQ(s.data.dialogs().texts(ScriptedDialogs::Kind::Question),
                  (std::vector<std::string>{repeat ? "Erre az időszakra már készült elszámolás! Ismételten elküldhető "
                                                     "5 db elszámolási lap?"
                                                   : "Elküldhető 5 db elszámolási lap?",
                                            app::text(app::Msg::EReportQuestion)}));
        for (const Case& c : sheets) {
            EXPECT_EQ(s.sheetState(c.sorsz), c.after) << c.name;
            EXPECT_EQ(s.visitRowState(c.sorsz), c.visitRow) << c.name;
        }
        // One row of the period, new or overwritten; the others untouched.
        EXPECT_EQ(db::Sql(s.data.db()).run("select idoszak,lapoksz,zaras from zaras order by idoszak").rows,
                  (std::vector<std::vector<db::Value>>{{"2024.05", 1, "2024.06.04"}, {"2024.06", 5, "2024.07.05"}}))
            << (repeat ? "repeat" : "first");
    }
}

TEST(Shipment, KuldHoldsTheThreeFilesAndThePdfListsGoToLista) {
    Shipment s;
    s.data.sheet(sheet("2024.06", "00001", "", "", true));
    s.open();
    // Old entries of every kind of name; the old Hosa file too.
    for (const char* name : {"Hosa1234.Dbf", "x", "abc", "README", ".rejtett", "havi.pdf", "Osszesito.PDF"})
        writeFile(s.kuld / name, std::string("regi ") + name);
    s.data.dialogs().answerYes().answerNo();
    s.send();

    EXPECT_EQ(namesIn(s.kuld), (Names{"Hosa1234.Dbf", "Hosb1234.Dbf", "Hosc1234.Dbf"}));
    EXPECT_NE(fileBytes(s.kuld / "Hosa1234.Dbf"), "regi Hosa1234.Dbf");
    EXPECT_EQ(contents(s.lista), (std::map<std::string, std::string>{{"havi.pdf", "regi havi.pdf"},
                                                                     {"Osszesito.PDF", "regi Osszesito.PDF"}}));
    EXPECT_EQ(namesIn(s.kuld.parent_path()), (Names{"KULD/", "LISTA/"}));  // no folder of the attempt left
}

TEST(Shipment, AfterTheFilesTheEReportOrTheCopy) {
    struct Case {
        const char* name;
        bool eReport;
        int copyTo;  // 0 not confirmed, 1 an existing folder, 2 a folder that is not there
        bool pageLoaded;
        std::vector<std::string> calls;
        std::vector<std::string> lastBoxes;  // warnings, errors and information after the question
        bool done;
    };
    const Case cases[] = {
        {"e-report", true, 0, true, {"e-report", "close"}, {exchange::kEReportDone, exchange::kShipmentDone}, true},
        {"page never loaded, copied", true, 1, false, {"e-report", "copy", "close"},
         {exchange::kEReportNotDone, exchange::kShipmentDone}, true},
        {"copy", false, 1, true, {"copy", "close"}, {exchange::kShipmentDone}, true},
        {"no copy", false, 0, true, {"copy", "close"}, {exchange::kNotCopied, exchange::kShipmentDone}, true},
        {"copy fails", false, 2, true, {"copy", "close"}, {}, false},
    };
    for (const Case& c : cases) {
        Shipment s;
        s.data.sheet(sheet("2024.06", "00001", "", "", true));
        s.open();
        const fs::path target = s.kuld.parent_path() / "floppy";
        fs::create_directories(target);
        writeFile(target / "hosa1234.dbf", "a previous shipment");
        if (c.copyTo == 1) s.windows.copyTo = target.string();
        if (c.copyTo == 2) s.windows.copyTo = (s.kuld.parent_path() / "nincs").string();
        s.windows.pageLoaded = c.pageLoaded;
        s.data.dialogs().answerYes().answer(c.eReport);
        s.send();

        EXPECT_EQ(s.windows.calls, c.calls) << c.name;
        std::vector<std::string> boxes;
        for (const auto& e : s.data.dialogs().log())
            if (e.kind != ScriptedDialogs::Kind::Question && e.kind != ScriptedDialogs::Kind::Status)
                boxes.push_back(e.text);
        if (c.done) {
            EXPECT_EQ(boxes, c.lastBoxes) << c.name;
            EXPECT_EQ(s.data.dialogs().statusText(0), exchange::kShipmentDone) << c.name;
        } else {
            ASSERT_EQ(boxes.size(), 1u) << c.name;
            EXPECT_NE(boxes[0].find("A(z) hosa1234.dbf állomány nem másolható"), std::string::npos) << boxes[0];
            EXPECT_EQ(s.data.dialogs().errors(), boxes) << c.name;
        }
        if (c.copyTo == 1) {
            EXPECT_EQ(namesIn(target), (Names{"hosa1234.dbf", "hosb1234.dbf", "hosc1234.dbf"}));
            EXPECT_EQ(fileBytes(target / "hosa1234.dbf"), fileBytes(s.kuld / "Hosa1234.Dbf"));  // overwritten
        } else {
            EXPECT_EQ(fileBytes(target / "hosa1234.dbf"), "a previous shipment") << c.name;
        }
        EXPECT_EQ(s.sheetState("00001"), "2024.06//") << c.name;  // sent whatever came after
    }
}

TEST(Shipment, RefusalsAndFailuresLeaveEverythingAsItWas) {
    struct Case {
        const char* name;
        std::function<void(Shipment&)> prepare;
        std::string expected;  // the error or warning shown ("" for none)
    };
    const Case cases[] = {
        {"nothing marked",
         [](Shipment& s) { db::Sql(s.data.db()).run("update hlapa set jeloles=null"); },
         exchange::kNothingMarked},
        {"the user says no", [](Shipment& s) { s.data.dialogs().answerNo(); }, ""},
        {"a sheet of a patient not in BETEG",
         [](Shipment& s) {
             db::Sql(s.data.db()).run("update hlapa set taj='203040502' where sorsz='00002'");
             s.data.dialogs().answerYes();
         },
         "A következő lapok nem küldhetők el, az adatküldés nem készült el:\n"},
        {"an INTKOD that cannot go into a file name",
         [](Shipment& s) {
             db::Sql(s.data.db()).run("update part set intkod='12/4'");
             s.data.dialogs().answerYes();
         },
         "A(z) Part.dbf állományban az intézménykód (\"12/4\") nem négy betű vagy számjegy"},
        {"the disk refuses ZARAS half way through the state change",
         [](Shipment& s) {
             velmora::testing::refuseFirstWriteTo("Zaras.dbf");
             s.data.dialogs().answerYes();
         },
         exchange::kNotRecorded},
    };
    for (const Case& c : cases) {
        Shipment s;
        s.data.sheet(sheet("2024.06", "00001", "", "", true))
            .sheet(sheet("2024.04", "00002", "", "", true))
            .sheet(sheet("2024.01", "00003", "YY", "S", true))
            .periodRow("2024.06", "2024.07.01");
        s.open();
        writeFile(s.kuld / "Hosa1234.Dbf", "the last shipment");
        writeFile(s.kuld / "lista.pdf", "a list");
        c.prepare(s);
        const Shipment::Snapshot before = s.snapshot();
        s.send();
        db::os::testing::reset();

        EXPECT_EQ(s.snapshot(), before) << c.name;
        const std::vector<std::string> problems = s.data.dialogs().problems();
        if (c.expected.empty()) {
            EXPECT_TRUE(problems.empty()) << c.name;
        } else {
            ASSERT_EQ(problems.size(), 1u) << c.name;
            EXPECT_EQ(problems[0].rfind(c.expected, 0), 0u) << problems[0];
        }
        EXPECT_TRUE(s.windows.calls.empty()) << c.name;
        EXPECT_TRUE(s.data.dialogs().scriptUsedUp()) << c.name;
    }
}

TEST(Shipment, OneListOfEveryBadSheet) {
    Shipment s;
    s.data.sheet(sheet("2024.06", "00001", "", "", true))
        .sheet(sheet("2024.06", "00002", "", "", true))
        .sheet(sheet("2024.05", "00003", "", "", true));
    s.open();
    db::Sql(s.data.db()).run("update hlapa set taj='203040502' where sorsz<>'00001'");
    s.data.dialogs().answerYes();
    s.send();
    ASSERT_EQ(s.data.dialogs().errors().size(), 1u);
    const std::string list = s.data.dialogs().errors()[0];
    for (const char* sheet : {"00002", "00003"}) EXPECT_NE(list.find(sheet), std::string::npos) << list;
    EXPECT_EQ(list.find("00001"), std::string::npos) << list;
}

// The moves of a shipment's write unit: every old entry of KULD goes but
// folders, PDFs move into LISTA, and what cannot be moved is reported and
// stays; the new file arrives and the staging folder goes.
TEST(KuldFolder, EveryEntryGoesButFoldersAndPdfsThatCannotBeKept) {
    struct Case {
        const char* name;
        bool listaThere;
        Names leftInKuld, inLista;
        size_t problems;
    };
    const Case cases[] = {
        {"lista there", true, {"alkonyvtar/", "hosa9999.dbf"}, {"a.pdf", "B.PDF"}, 0},
        {"lista missing", false, {"alkonyvtar/", "a.pdf", "B.PDF", "hosa9999.dbf"}, {}, 2},
    };
    for (const Case& c : cases) {
        TempDir tmp;
        const fs::path kuld = tmp.path() / "KULD", lista = tmp.path() / "LISTA", data = tmp.path() / "DATA";
        fs::create_directories(kuld / "alkonyvtar");
        fs::create_directories(data);
        if (c.listaThere) fs::create_directories(lista);
        for (const char* name : {"x", "ab", "abc", "NODOT", ".h", "a.pdf", "B.PDF", "Hosa1234.Dbf"})
            writeFile(kuld / name, name);
        std::vector<std::string> problems;
        {
            const exchange::StagingFolder staging(kuld.string() + "/", data.string());
            writeFile(fs::path(staging.path()) / "hosa9999.dbf", "new");
            db::Database db(data.string());
            db::WriteUnit unit(db);
            for (const db::FileOperation& op :
                 exchange::kuldOperations(kuld.string() + "/", lista.string(), staging.path(), {"hosa9999.dbf"}))
                unit.addFileOperation(op);
            unit.commit();
            problems = unit.warnings();
        }
        EXPECT_EQ(namesIn(kuld), c.leftInKuld) << c.name;
        EXPECT_EQ(c.listaThere ? namesIn(lista) : Names{}, c.inLista) << c.name;
        EXPECT_EQ(problems.size(), c.problems) << c.name;
        EXPECT_FALSE(fs::exists(tmp.path() / "KULD.uj")) << c.name;
        EXPECT_TRUE(fs::is_empty(data)) << c.name;
    }
}
