#pragma once
// The browse frames of the program as data: which table, which columns with
// their titles and widths, which index a title click selects, the index set
// on entry and the search rules. One frame class serves them all; a host
// window may change titles and widths before it builds its frame.
#include "BrowseModel.h"
#include "masterdata/IncrementalSearch.h"

#include <QString>

#include <string>
#include <vector>

namespace velmora::app::schema { struct TableDef; }

namespace velmora::ui {

struct FrameSetup {
    QString className;  // TBetegkep, … (the frame's own name in the program)
    QString gridName;   // DBGBeteg, … (objectName of the grid)
    const app::schema::TableDef* table = nullptr;
    std::vector<BrowseColumn> columns;
    std::string entryIndex;  // set on every entry; "" only moves to the first row
    masterdata::SearchRules rules;
    bool searchable = true;  // the residue grid has no search and no stored position
    bool sheetFrame = false; // year rule on entry, red title only on indexed columns, plain titles
    QString gridHint, frameHint;
};

FrameSetup TApolkep();   // nurses, APOL
FrameSetup TBetegkep();  // patients, BETEG
FrameSetup TOrvoskep();  // doctors, ORVOS
FrameSetup TTelepkep();  // settlements, TELEPUL
FrameSetup TBNOkep();    // diagnosis codes, BNOTORZS
FrameSetup TLapkep();    // sheet headers, HLAPA
FrameSetup Tmaradkep();  // residues, MARADV

} // namespace velmora::ui
