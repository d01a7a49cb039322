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
    // The stored form; "" when no password has been set yet.
    virtual std::string read() = 0;
    // Replaces the stored form (appends the row when the table is empty).
    virtual void write(const std::string& storedForm) = 0;
};

// The folder in the data directory where SYS is built in its wider layout
// before it is renamed over the old one; a left-over one is from a start
// cut short, and the next start removes it.
inline constexpr const char* kPasswordStaging = "sys.uj";

// SYS ("sys.dbf") in the data directory. The table is closed again when the
// store goes, so the login window's table does not outlive the window. A
// SYS of the old layout, whose P_W is too narrow for the hash, is rebuilt
// in the new one by the write that stores the hash: the new file is made
// whole in kPasswordStaging and renamed over the old one, so a kill leaves
// the old password or the new one, never neither.
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
    void writeWidened(const std::string& storedForm);

    db::Database& db_;
    db::Table& table_;
};

} // namespace velmora::app
