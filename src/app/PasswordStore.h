#pragma once
// Where the installation's password is kept: the one-row table SYS with the
// character field P_W. The login window talks to this interface only, so it
// holds no table code of its own.
#include <string>

namespace velmora::db {
class Database;
class Table;
}

namespace velmora::app {

class PasswordStore {
public:
    virtual ~PasswordStore() = default;
    virtual bool exists() const = 0;  // the table file is there
    virtual void create() = 0;        // a new, empty table; throws on failure
    virtual void open() = 0;          // throws on failure
    virtual void close() = 0;
    // The stored (scrambled) form; "" when no password has been set yet.
    virtual std::string read() = 0;
    // Replaces the stored form (appends the row when the table is empty).
    virtual void write(const std::string& storedForm) = 0;
};

// SYS ("sys.dbf") in the data directory. The table is closed again when the
// store goes, so the login window's table does not outlive the window.
class SysPasswordStore : public PasswordStore {
public:
    explicit SysPasswordStore(db::Database& database);
    ~SysPasswordStore() override;
    SysPasswordStore(const SysPasswordStore&) = delete;
    SysPasswordStore& operator=(const SysPasswordStore&) = delete;

    bool exists() const override;
    void create() override;
    void open() override;
    void close() override;
    std::string read() override;
    void write(const std::string& storedForm) override;

private:
    db::Database& db_;
    db::Table& table_;
};

} // namespace velmora::app
