#include "app/Failure.h"

#include "app/Archiver.h"
#include "app/UserError.h"
#include "db/DbError.h"

#include <cstring>

namespace velmora::app {

namespace {

FailureKind kindOf(const std::exception& e) {
    if (dynamic_cast<const UserError*>(&e)) return FailureKind::Refused;
    if (dynamic_cast<const ArchiverError*>(&e)) return FailureKind::File;
    return FailureKind::Engine;
}

int osErrorOf(const std::exception& e) {
    const auto* engine = dynamic_cast<const db::DbError*>(&e);
    return engine ? engine->osError() : 0;
}

} // namespace

std::string Failure::detail() const {
    if (osError == 0) return cause;
    const std::string os = "errno " + std::to_string(osError) + ": " + std::strerror(osError);
    return cause.empty() ? os : cause + " (" + os + ")";
}

Failure failureOf(const std::string& text, const std::exception& e) {
    std::string cause = e.what();
    if (const auto* archiver = dynamic_cast<const ArchiverError*>(&e); archiver && !archiver->detail().empty())
        cause += ": " + archiver->detail();
    return {kindOf(e), text, std::move(cause), osErrorOf(e)};
}

Failure failureOf(const std::exception& e) {
    const auto* archiver = dynamic_cast<const ArchiverError*>(&e);
    return {kindOf(e), e.what(), archiver ? archiver->detail() : std::string(), osErrorOf(e)};
}

void show(Dialogs& dialogs, const Failure& failure) {
    const std::string detail = failure.detail();
    if (detail.empty()) dialogs.error(failure.text);
    else dialogs.error(failure.text, detail);
}

} // namespace velmora::app
