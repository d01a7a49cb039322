#include "masterdata/PostErrors.h"

#include "db/DbError.h"

#include <strings.h>

namespace velmora::masterdata {

std::optional<PostErrorReply> postErrorReply(const std::string& tableName, const std::exception& error) {
    static const struct {
        const char* table;
        PostErrorReply reply;
    } handlers[] = {
        {"APOL", {"Ilyen ápoló már létezik !", "TApolfel", "Etaj"}},
        {"ORVOS", {"Ilyen orvos már létezik !", "TOrvosfel", "OP"}},
        {"BETEG", {"Ilyen beteg már létezik !", "Tbetegfel", "btaj"}},
        {"MARADV", {"Ennek az időszaknak már van maradványa !", "Tmaradfel", "mft"}},
    };
    const auto* dbError = dynamic_cast<const db::DbError*>(&error);
    if (!dbError || dbError->engineCode() != 9729) return std::nullopt;
    for (const auto& h : handlers)
        if (strcasecmp(h.table, tableName.c_str()) == 0) return h.reply;
    return std::nullopt;
}

std::optional<PostErrorReply> postRow(db::Table& table, app::Dialogs& dialogs) {
    try {
        table.post();
    } catch (const std::exception& e) {
        auto reply = postErrorReply(table.name(), e);
        if (!reply) throw;
        dialogs.message(reply->message);
        return reply;
    }
    return std::nullopt;
}

} // namespace velmora::masterdata
