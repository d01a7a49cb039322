#pragma once
// A report written as a PDF file. The file is written beside its name and
// renamed into place only when complete: a full disk or a folder without
// write permission leaves no half-written PDF, and the error names the file.
#include "reports/Bands.h"

#include <string>

namespace velmora::reports {

// Throws app::UserError "A(z) <path> állomány nem írható!" with the cause
// on a line of its own.
void writePdf(const Report& report, const std::string& path);

} // namespace velmora::reports
