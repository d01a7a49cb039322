#include "app/FramePosition.h"

namespace velmora::app {

StoredPosition StorePosition(const db::Table& table, int activeColumn, const std::string& periodShown) {
    StoredPosition p;
    if (!table.isOpen()) return p;
    p.index = table.activeIndex();
    p.bookmark = table.bookmark();
    p.numbering = table.recordNumbering();
    p.column = activeColumn;
    p.period = periodShown;
    return p;
}

namespace {

bool restores(const StoredPosition& stored, const FrameEntry& entry, const std::string& periodShown) {
    if (entry.yearRule)
        return stored.period.size() >= 4 && periodShown.size() >= 4 &&
               stored.period.compare(0, 4, periodShown, 0, 4) == 0;
    return stored.bookmark >= 0 && !stored.index.empty();
}

} // namespace

int EnterPosition(db::Table& table, const FrameEntry& entry, const StoredPosition& stored,
                  const std::string& periodShown) {
    if (!table.isOpen()) return 0;
    if (!entry.entryIndex.empty()) table.setActiveIndex(entry.entryIndex);
    table.first();
    if (!restores(stored, entry, periodShown)) return 0;
    // An index thrown away since (a rebuild under other names) cannot order
    // the table again: stay on the first row in the entry order.
    if (!stored.index.empty() && !table.index(stored.index)) return 0;
    table.setActiveIndex(stored.index);
    table.first();
    // A row deleted since then is not found, and after a pack the number
    // may name another row: either way the first row stays.
    if (stored.numbering == table.recordNumbering()) table.gotoBookmark(stored.bookmark);
    return stored.column;
}

} // namespace velmora::app
