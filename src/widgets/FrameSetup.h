#pragma once
// A browse frame as data: which table, which columns with their titles and
// widths, which index a title click selects, the index set on entry and the
// search rules. One frame class serves every grid of the program; a host
// window may change titles and widths before it builds its frame. Each
// layer's windows define their own frames.
#include "app/IncrementalSearch.h"
#include "widgets/BrowseModel.h"

#include <QString>

#include <string>
#include <vector>

namespace velmora::store::schema { struct TableDef; }

namespace velmora::ui {

struct FrameSetup {
    QString className;  // TBetegkep, … (the frame's own name in the program)
    QString gridName;   // DBGBeteg, … (objectName of the grid)
    const store::schema::TableDef* table = nullptr;
    std::vector<BrowseColumn> columns;
    std::string entryIndex;  // set on every entry; "" only moves to the first row
    app::SearchRules rules;
    bool searchable = true;  // the residue grid has no search and no stored position
    bool sheetFrame = false; // year rule on entry, red title only on indexed columns, plain titles
    QString gridHint, frameHint;
};

} // namespace velmora::ui
