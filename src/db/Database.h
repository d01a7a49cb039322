#pragma once
// The database `DBS`: a data directory and one shared table object per
// table for the whole run. File names are matched without regard to case.
#include "db/Table.h"
#include "db/Transaction.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::db {

class Database {
public:
    explicit Database(std::string directory);
    ~Database();

    const std::string& directory() const { return dir_; }

    // The shared object of a table named like "HLAPA" with file name
    // "HLapa.dbf" (default: name + ".dbf"). Created closed on first request;
    // the same object is returned for the rest of the run.
    Table& table(const std::string& name, const std::string& fileName = {});
    // The object for a table file given by path (the fund's files). A path
    // naming a table of the data directory (its file name in any case) gives
    // that table's shared object.
    Table& tableAtPath(const std::string& path);
    // The file (absolute, or relative to the directory) lies in the data
    // directory itself.
    bool inDirectory(const std::string& path) const;
    Table* findTable(const std::string& name);
    std::vector<Table*> tables();

    // The existing file in the directory whose name equals fileName without
    // regard to case; nullopt when there is none.
    std::optional<std::string> findFile(const std::string& fileName) const;
    // findFile, or the path the file will get.
    std::string resolve(const std::string& fileName) const;
    bool fileExists(const std::string& fileName) const { return findFile(fileName).has_value(); }

    // Closes every open table (pending edits are cancelled).
    void closeAll();

    // The level of the innermost open write unit (WriteUnit.h); 0 when
    // none is open.
    int unitLevel() const { return transaction_->unitLevel(); }
    // What write units and batches hold until they reach the files.
    Transaction& transaction() { return *transaction_; }

private:
    std::string dir_;
    // Declared before the tables, so that it outlives them.
    std::unique_ptr<Transaction> transaction_;
    std::map<std::string, std::unique_ptr<Table>> tables_;  // key: upper-case name or path
};

// Case-insensitive match of a file name inside a directory.
std::optional<std::string> findFileNoCase(const std::string& directory, const std::string& fileName);

} // namespace velmora::db
