#include "app/PasswordStore.h"

#include "app/Password.h"
#include "db/Database.h"
#include "db/Os.h"

#include <filesystem>

namespace velmora::app {

namespace {
constexpr const char* kFile = "sys.dbf";
constexpr const char* kField = "P_W";
} // namespace

SysPasswordStore::SysPasswordStore(db::Database& database)
    : db_(database), table_(database.table("SYS", kFile)) {}

SysPasswordStore::~SysPasswordStore() {
    try {
        table_.close();
    } catch (...) {
        // Closing posts nothing; there is nothing to report at this point.
    }
}

bool SysPasswordStore::exists() const { return db_.fileExists(kFile); }

void SysPasswordStore::create() {
    table_.close();
    table_.create({db::FieldDef::character(kField, static_cast<int>(kPasswordFieldWidth))});
}

void SysPasswordStore::open() { table_.open(); }

void SysPasswordStore::close() { table_.close(); }

std::string SysPasswordStore::read() {
    if (table_.isEmpty()) return {};
    table_.first();
    return table_.text(kField);
}

void SysPasswordStore::write(const std::string& storedForm) {
    // Only an open SYS of the old layout is rebuilt; anything else goes the
    // ordinary way and fails with the engine's own message.
    const int field = table_.isOpen() ? table_.fieldIndex(kField) : -1;
    if (field >= 0 && static_cast<size_t>(table_.fields()[field].width) < storedForm.size()) {
        writeWidened(storedForm);
        return;
    }
    if (table_.isEmpty()) {
        table_.append();
    } else {
        table_.first();
        table_.edit();
    }
    try {
        table_.setField(kField, db::Value(storedForm));
        table_.post();
    } catch (...) {
        table_.cancel();
        throw;
    }
}

void SysPasswordStore::writeWidened(const std::string& storedForm) {
    namespace fs = std::filesystem;
    const std::string stage = (fs::path(db_.directory()) / kPasswordStaging).string();
    const std::string live = db_.resolve(kFile);
    table_.close();
    try {
        db::os::removeTree(stage);
        db::os::makeDirectories(stage);
        {
            db::Database staged(stage);
            db::Table& sys = staged.table("SYS", kFile);
            sys.create({db::FieldDef::character(kField, static_cast<int>(kPasswordFieldWidth))});
            sys.open();
            sys.append();
            sys.setField(kField, db::Value(storedForm));
            sys.post();
            sys.close();
        }
        db::os::rename((fs::path(stage) / kFile).string(), live);
        db::os::syncDirectory(db_.directory());
        db::os::removeTree(stage);
    } catch (...) {
        try {
            db::os::removeTree(stage);
        } catch (...) {
        }
        table_.open();
        throw;
    }
    table_.open();
}

} // namespace velmora::app
