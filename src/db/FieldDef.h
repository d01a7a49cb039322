#pragma once
#include <string>
#include <vector>

namespace velmora::db {

// One field of a table layout. Types: 'C' character, 'D' date, 'N' numeric,
// 'L' logical (others found in foreign files are read as raw text).
struct FieldDef {
    std::string name;
    char type = 'C';
    int width = 0;
    int decimals = 0;

    static FieldDef character(std::string name, int width) { return {std::move(name), 'C', width, 0}; }
    static FieldDef date(std::string name) { return {std::move(name), 'D', 8, 0}; }
    static FieldDef numeric(std::string name, int width, int decimals = 0) { return {std::move(name), 'N', width, decimals}; }
    static FieldDef logical(std::string name) { return {std::move(name), 'L', 1, 0}; }

    friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

using FieldList = std::vector<FieldDef>;

// Case-insensitive field lookup; -1 when absent.
int findField(const FieldList& fields, const std::string& name);

// Names of tables, fields and tags compare without regard to ASCII case.
std::string upperAscii(std::string name);

} // namespace velmora::db
