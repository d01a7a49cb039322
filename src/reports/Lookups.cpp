#include "reports/Lookups.h"

#include "db/Sql.h"

namespace velmora::reports {

std::map<std::string, std::string> bnoNames(db::Database& db) {
    std::map<std::string, std::string> out;
    for (const auto& row : db::Sql(db).run("select kod10,nev from bnotorzs").rows)
        out.emplace(row[0].asString(), row[1].asString());
    return out;
}

std::string bnoName(const std::map<std::string, std::string>& names, const std::string& code) {
    const auto it = names.find(code);
    return it == names.end() ? std::string() : it->second;
}

void countActivities(const std::string& tev, std::array<int, 8>& counts) {
    for (int k = 1; k <= 8; ++k)
        if (tev.find(static_cast<char>('0' + k)) != std::string::npos) ++counts[k - 1];
}

} // namespace velmora::reports
