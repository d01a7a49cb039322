// The report command of a velmora-batch built without Qt (VELMORA_UI off):
// painting a report needs Qt's fonts and PDF writer.
#include "batch_run.h"

namespace velmora::batch {

void validateReport(Options&) {
    throw UsageError{"Ez a velmora-batch a Qt nélkül készült, jelentést nem tud írni."};
}

int reportCommand(Run&) { return kFailed; }

} // namespace velmora::batch
