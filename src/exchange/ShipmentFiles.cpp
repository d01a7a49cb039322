// The shipment's three files: what keeps a sheet out, and writing them.
#include "exchange/ShipmentFiles.h"

#include "app/UserError.h"
#include "exchange/OutgoingFile.h"
#include "exchange/ShipmentQueries.h"

#include <filesystem>
#include <map>

namespace velmora::exchange {
namespace {

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "; ") + p;
    return out;
}

} // namespace

std::vector<std::string> unsendableSheets(db::Database& db, const std::string& period) {
    const ShipmentLayouts layouts = layoutsForPeriod(period);
    const OutgoingLayout& headerLayout = outgoingLayout(layouts.headers);

    // Problems per sheet, in the order the sheets go out.
    std::vector<std::string> order;
    std::map<std::string, std::vector<std::string>> problems;
    for (const QueryRow& sheet : markedSheets(db)) {
        const std::string key = sheetLabel(sheet);
        order.push_back(key);
        auto& list = problems[key];
        if (sheet.at("has_patient").asInt() == 0) {
            const std::string taj = sheet.at("taj").asString();
            list.push_back(taj.empty() ? "nincs megadva a beteg TAJ száma"
                                       : "a(z) " + taj + " TAJ számú beteg nincs a betegek között");
        }
        if (sheet.at("has_visits").asInt() == 0) list.push_back("hiányzik a látogatási sora");
        for (std::string& p : headerProblems(headerLayout, sheet)) list.push_back(std::move(p));
    }
    const OutgoingLayout& visitLayout = outgoingLayout(layouts.visits);
    for (const QueryRow& visits : visitRows(db))
        for (std::string& p : visitProblems(visitLayout, visits)) problems[sheetLabel(visits)].push_back(std::move(p));

    std::vector<std::string> out;
    for (const std::string& key : order)
        if (!problems[key].empty()) out.push_back(key + ": " + joined(problems[key]));
    return out;
}

ShipmentCounts writeShipmentFiles(db::Database& db, const std::string& period, const std::string& intkod,
                                  const std::string& dir) {
    if (!validIntkod(intkod))
        throw app::UserError("Hiba az állomány készítésében! A(z) '" + intkod +
                             "' intézménykód nem lehet állománynév része: négy betű vagy számjegy kell.");
    const ShipmentLayouts layouts = layoutsForPeriod(period);
    const OutgoingLayout& hosa = outgoingLayout(layouts.headers);
    const OutgoingLayout& hosb = outgoingLayout(layouts.visits);
    const OutgoingLayout& hosc = outgoingLayout(layouts.diagnoses);

    // Every record is filled before the first file is touched, so a sheet
    // that cannot go out leaves the directory as it was.
    std::vector<OutRecord> headers, visits, diagnoses;
    for (const QueryRow& row : headerRows(db)) headers.push_back(headerRecord(hosa, row, period));
    for (const QueryRow& row : visitRows(db))
        for (OutRecord& r : visitRecords(hosb, row)) visits.push_back(std::move(r));
    for (const QueryRow& row : diagnosisRows(db))
        for (OutRecord& r : diagnosisRecords(hosc, row)) diagnoses.push_back(std::move(r));

    const ShipmentFileNames names = shipmentFileNames(intkod);
    const std::filesystem::path to(dir);
    writeOutgoingFile(hosa, (to / names.hosa).string(), headers);
    writeOutgoingFile(hosb, (to / names.hosb).string(), visits);
    writeOutgoingFile(hosc, (to / names.hosc).string(), diagnoses);
    return {static_cast<int>(headers.size()), static_cast<int>(visits.size()), static_cast<int>(diagnoses.size())};
}

} // namespace velmora::exchange
