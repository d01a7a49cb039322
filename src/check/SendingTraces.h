#pragma once
// What a shipment or a full data set import leaves
// across the sheet table HLAPA and the period table ZARAS, read from the
// table images alone: sheets stamped as sent with a period that has no
// ZARAS row, a ZARAS row that counts no sheets although sheets carry its
// period, and the full-series marks that the import's marking of its
// newest year would have written. Each finding is one that the program's
// own operations never leave; SendingTraces.cpp tells, finding by finding,
// which of the program's states it stays silent on and why.
namespace velmora::check {

class TableImage;
struct FileReport;

// `hlapa` and `zaras` are null when that table could not be read; what
// needs it is then left out. Findings go to the report of the table whose
// rows they name.
void checkSendingTraces(const TableImage* hlapa, const TableImage* zaras, FileReport& hlapaReport,
                        FileReport& zarasReport);

} // namespace velmora::check
