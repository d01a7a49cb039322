#pragma once
// A failure whose message is meant for the user as it stands (Hungarian,
// the program's own wording). The step that catches it shows what() in an
// error box and the program goes on.
#include <stdexcept>
#include <string>

namespace velmora::app {

class UserError : public std::runtime_error {
public:
    explicit UserError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace velmora::app
