#pragma once
// What the benchmark programs share besides the data set: a user who says
// Yes and whose messages are kept (a benchmark stops on the first), and a
// copy of the data set of a run's own.
#include "DataSet.h"

#include "app/Dialogs.h"
#include "db/Database.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::bench {

class RecordingDialogs : public app::Dialogs {
public:
    std::vector<std::string> problems;
    void error(const std::string& text) override { problems.push_back(text); }
    void error(const std::string& text, const std::string& detail) override { problems.push_back(text + " " + detail); }
    void warning(const std::string& text) override { problems.push_back(text); }
    void information(const std::string&) override {}
    void message(const std::string&) override {}
    bool ask(const app::Question&) override { return true; }
    void status(int, const std::string&) override {}
    std::optional<std::string> chooseDirectory(const std::string&, const std::string&) override { return {}; }
};

// The tables the program's windows work on, opened as the program opens them.
inline void openProgramTables(db::Database& database) {
    namespace schema = store::schema;
    for (const schema::TableDef* def :
         {&schema::HLAPA(), &schema::HLAPB(), &schema::BETEG(), &schema::APOL(), &schema::ORVOS(), &schema::ZARAS(),
          &schema::HSZOLGSZ(), &schema::TELEPUL(), &schema::BNOTORZS(), &schema::PART(), &schema::MARADV(),
          &schema::HSZERZ()})
        store::tableOf(database, *def).open();
}

// A copy of the shared data set in a temporary folder named after `name`,
// removed at the end; `budget` adds the residue and the contract the
// register's figures read.
struct DataCopy {
    std::string dir;
    explicit DataCopy(const std::string& name, bool budget = false) {
        std::string tmpl = "/tmp/velmora-bench-" + name + "-XXXXXX";
        dir = mkdtemp(tmpl.data());
        std::filesystem::copy(sharedDataSet().dir, dir);
        if (budget) addBudget();
    }
    ~DataCopy() { std::filesystem::remove_all(dir); }
    DataCopy(const DataCopy&) = delete;
    DataCopy& operator=(const DataCopy&) = delete;

private:
    void addBudget() {
        namespace schema = store::schema;
        db::Database database(dir);
        db::Table& maradv = store::tableOf(database, schema::MARADV());
        maradv.create(schema::MARADV().fields);
        maradv.open();
        maradv.appendValues({"1234", heavyPatient().period, 1234567});
        db::Table& szerz = store::tableOf(database, schema::HSZERZ());
        szerz.create(schema::HSZERZ().fields);
        szerz.open();
        szerz.appendValues({"1234", "2024/1", "123456789", 8000, "2024.01.01"});
        database.closeAll();
    }
};

} // namespace velmora::bench
