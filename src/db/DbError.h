#pragma once
// Errors of the table engine. Messages are Hungarian because they reach the
// user unchanged in the program's error boxes; they name the file involved.
#include <stdexcept>
#include <string>

namespace velmora::db {

class DbError : public std::runtime_error {
public:
    enum class Code {
        General,
        Io,           // the file system refused (open, read, write, lock)
        Damaged,      // the file is not a readable dBASE table
        Locked,       // another program holds the table open
        KeyViolation, // a unique index tag already holds the key
        BadValue,     // a value does not fit the field
        BadExpression,// filter or index expression could not be understood
        NotFound,     // no such table or field
        State,        // the operation does not fit the table's state
        ReadOnly,     // the data directory takes no writes (a read-only medium or no permission)
    };

    DbError(Code code, const std::string& message, int osError = 0)
        : std::runtime_error(message), code_(code), osError_(osError) {}
    explicit DbError(const std::string& message) : DbError(Code::General, message) {}

    Code code() const { return code_; }
    // The dBASE engines report a key violation as error 9729; the program's
    // post-error handlers test for that number.
    int engineCode() const { return code_ == Code::KeyViolation ? 9729 : 0; }
    // The errno of the failed system call behind an Io error; 0 when none.
    int osError() const { return osError_; }

private:
    Code code_;
    int osError_ = 0;
};

} // namespace velmora::db
