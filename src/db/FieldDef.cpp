#include "db/FieldDef.h"

#include <strings.h>

namespace velmora::db {

int findField(const FieldList& fields, const std::string& name) {
    for (size_t i = 0; i < fields.size(); ++i)
        if (strcasecmp(fields[i].name.c_str(), name.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

std::string upperAscii(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

} // namespace velmora::db
