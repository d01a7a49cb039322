#include "app/Dialogs.h"

namespace velmora::app {

Question question(Msg id, QuestionKind kind) { return {id, text(id), kind}; }

Question question(Msg id, const std::vector<std::string>& values, QuestionKind kind) {
    return {id, text(id, values), kind};
}

} // namespace velmora::app
