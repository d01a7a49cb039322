#pragma once
// The patient grid as the patient windows show it: the identifier column is
// titled "TAJ/Azonosító", since it holds generated identifiers too.
#include "FrameSpecs.h"

namespace velmora::ui {

inline FrameSpec PatientHostFrame(int tajWidth) {
    FrameSpec spec = TBetegkep();
    spec.columns[0].title = QString::fromUtf8("TAJ/Azonosító");
    spec.columns[0].width = tajWidth;
    return spec;
}

} // namespace velmora::ui
