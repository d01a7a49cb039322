#include "masterdata/ui/StaffFrame.h"

#include "store/Schemas.h"
#include "widgets/BrowseFrame.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace velmora::ui {

BrowseFrame* MakeStaffFrame(FrameSetup setup, db::Table& table, QWidget* parent, const QString& objectName) {
    const int codeWidth = setup.table->fieldWidth(setup.columns.at(0).field);
    auto* frame = new BrowseFrame(std::move(setup), table, parent);
    frame->setObjectName(objectName);
    QTableView* grid = frame->grid();
    if (codeWidth > 0) {
        // Codes are digits; a cell needs some room beside its text.
        const QString widest(codeWidth, QChar('0'));
        const int fits = grid->fontMetrics().horizontalAdvance(widest) + 12;
        grid->setColumnWidth(0, std::max(grid->columnWidth(0), fits));
    }
    grid->horizontalHeader()->setStretchLastSection(true);
    return frame;
}

} // namespace velmora::ui
