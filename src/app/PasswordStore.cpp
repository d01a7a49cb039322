#include "app/PasswordStore.h"

#include "app/Password.h"
#include "db/Database.h"

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

} // namespace velmora::app
