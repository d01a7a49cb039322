#pragma once
// The patient grid as the patient windows show it: the identifier column is
// titled "TAJ/Azonosító", since it holds generated identifiers too.
#include "masterdata/ui/FrameSetups.h"

namespace velmora::ui {

inline FrameSetup PatientHostFrame(int tajWidth) {
    FrameSetup setup = TBetegkep();
    setup.columns[0].title = QString::fromUtf8("TAJ/Azonosító");
    setup.columns[0].width = tajWidth;
    return setup;
}

} // namespace velmora::ui
