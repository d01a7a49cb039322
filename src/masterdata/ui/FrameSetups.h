#pragma once
// The browse frames of the master-data windows.
#include "widgets/FrameSetup.h"

namespace velmora::ui {

FrameSetup TApolkep();   // nurses, APOL
FrameSetup TBetegkep();  // patients, BETEG
FrameSetup TOrvoskep();  // doctors, ORVOS
FrameSetup TTelepkep();  // settlements, TELEPUL
FrameSetup TBNOkep();    // diagnosis codes, BNOTORZS
FrameSetup Tmaradkep();  // residues, MARADV

} // namespace velmora::ui
