#pragma once
// What happens when saving a nurse, doctor, patient or residue row runs into
// a row with the same key: the user is told in a plain box, the row stays in
// edit, and the edit window puts the focus on the key field.
#include "app/Dialogs.h"
#include "db/Table.h"

#include <exception>
#include <optional>
#include <string>

namespace velmora::masterdata {

struct PostErrorReply {
    std::string message;  // shown in a plain box
    std::string window;   // the edit window ...
    std::string control;  // ... and its field that gets the focus
};

// The post-error handler of the table (ApolPostError, OrvosPostError,
// BetegPostError, maradvPostError): a reply for a key violation (engine code
// 9729) on APOL, ORVOS, BETEG or MARADV; nothing for any other error or
// table, which then takes the default path.
std::optional<PostErrorReply> postErrorReply(const std::string& tableName, const std::exception& error);

// Posts the table's edit through its handler. A handled key violation shows
// its message and returns the reply, the row staying in edit; any other
// failure is thrown on. Nothing when the row was saved.
std::optional<PostErrorReply> postRow(db::Table& table, app::Dialogs& dialogs);

} // namespace velmora::masterdata
