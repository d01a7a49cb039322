#pragma once
// Whether an edit panel was opened for a new row or for the current one.
namespace velmora::app {

enum class EditMode { New, Modify };

} // namespace velmora::app
