#include "app/LoggedDialogs.h"

namespace velmora::app {

void LoggedDialogs::error(const std::string& text) {
    log_.write(LogLevel::Error, text);
    shown_.error(text);
}

void LoggedDialogs::error(const std::string& text, const std::string& detail) {
    log_.write(LogLevel::Error, text, detail);
    shown_.error(text, detail);
}

void LoggedDialogs::warning(const std::string& text) {
    log_.write(LogLevel::Warning, text);
    shown_.warning(text);
}

} // namespace velmora::app
