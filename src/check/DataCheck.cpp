#include "check/DataCheck.h"

#include "check/SendingTraces.h"
#include "check/HistoryCheck.h"
#include "check/TableImage.h"
#include "app/TextHelpers.h"
#include "db/DbError.h"
#include "db/IndexTag.h"
#include "db/Journal.h"
#include "db/MdxFile.h"
#include "store/Recovery.h"
#include "store/Reindex.h"
#include "store/Schemas.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace velmora::check {

namespace {

namespace fs = std::filesystem;
namespace schema = store::schema;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The directory's files by their names in lower case: data copied from a
// system that ignores case may spell them otherwise.
std::map<std::string, fs::path> filesOf(const std::string& dir) {
    std::map<std::string, fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec)) files[lower(entry.path().filename().string())] = entry.path();
    return files;
}

const std::vector<const schema::TableDef*>& checkedTables() {
    static const std::vector<const schema::TableDef*> tables = {
        &schema::ZARAS(), &schema::APOL(),     &schema::ORVOS(),    &schema::BETEG(),    &schema::MARADV(),
        &schema::HLAPA(), &schema::HLAPB(),    &schema::SYS(),      &schema::PART(),     &schema::HSZERZ(),
        &schema::HSZOLGSZ(), &schema::TELEPUL(), &schema::HTERULET(), &schema::HTHELY(), &schema::BNOTORZS(),
        &schema::ELOZMENY(), &schema::ELOZVEG()};
    return tables;
}

// Record count against the file's length: the header's count must cover
// every record the file holds (one end-of-file byte may follow).
void checkSize(const TableImage& table, FileReport& report) {
    const auto& h = table.header();
    const uint64_t need = uint64_t(h.headerLength) + uint64_t(h.recordCount) * h.recordLength;
    if (table.fileSize() > need + 1)
        report.problems.push_back("A fejléc szerint " + std::to_string(h.recordCount) +
                                  " rekord van benne, de a fájl mérete " +
                                  std::to_string((table.fileSize() - h.headerLength) / h.recordLength) +
                                  " rekordnyi.");
}

class ImageRecord final : public db::RecordSource {
public:
    explicit ImageRecord(const TableImage& table) : table_(table) {}
    void at(uint32_t recno) { recno_ = recno; }
    db::Value value(int field) const override { return table_.value(recno_, field); }

private:
    const TableImage& table_;
    uint32_t recno_ = 0;
};

void checkTag(const TableImage& table, const db::MdxTag& stored, const std::string& indexName, FileReport& report) {
    const std::string where = "A(z) " + indexName + " " + stored.name + " címkéje";
    std::optional<db::IndexTag> tag;
    try {
        tag.emplace(stored.name, db::KeyExpr::compile(stored.expression, table.header().fields), stored.unique);
    } catch (const db::DbError& e) {
        report.problems.push_back(where + " nem értelmezhető ehhez a táblához: " + e.what());
        return;
    }
    ImageRecord record(table);
    tag->build(
        table.recordCount(), [&](uint32_t r) { return !table.isDeleted(r); },
        [&](uint32_t r) -> const db::RecordSource& {
            record.at(r);
            return record;
        });
    if (tag->entries() != stored.entries)
        report.problems.push_back(where + " nem egyezik a táblával (" + std::to_string(stored.entries.size()) +
                                  " kulcs van benne, a tábla szerint " + std::to_string(tag->entries().size()) +
                                  " kell, más sorrendben vagy más kulcsokkal).");
    if (stored.unique)
        for (size_t i = 1; i < tag->entries().size(); ++i)
            if (tag->entries()[i].key == tag->entries()[i - 1].key) {
                report.problems.push_back(where + " egyedi, de a tábla két sora ugyanazt a kulcsot adja (" +
                                          std::to_string(tag->entries()[i - 1].recno + 1) + ". és " +
                                          std::to_string(tag->entries()[i].recno + 1) + ". rekord).");
                break;
            }
}

void checkIndex(const schema::TableDef& def, const TableImage& table, const std::map<std::string, fs::path>& files,
                FileReport& report) {
    const std::string indexName = def.indexFileName();
    const auto found = files.find(lower(indexName));
    if (found == files.end()) {
        if (!def.tags.empty()) report.problems.push_back("Hiányzik a(z) " + indexName + " indexállomány.");
        return;
    }
    const std::optional<db::MdxContents> contents = db::mdx::read(found->second.string());
    if (!contents) {
        report.problems.push_back("A(z) " + indexName + " indexállomány sérült vagy nem a programé.");
        return;
    }
    if (!contents->tableFile.empty() &&
        (lower(contents->tableFile) != lower(table.fileName()) ||
         contents->layout != db::mdx::layoutFingerprint(table.header().fields))) {
        report.problems.push_back("A(z) " + indexName + " indexállomány nem ehhez a táblához készült.");
        return;
    }
    // A stamp that no longer fits the table is no fault by itself: the
    // engine rebuilds such keys when it opens the table. Keys that disagree
    // with the rows are what the tags below are checked for.
    for (const schema::IndexDef& wanted : def.tags)
        if (std::none_of(contents->tags.begin(), contents->tags.end(),
                         [&](const db::MdxTag& t) { return lower(t.name) == lower(wanted.tag); }))
            report.problems.push_back("A(z) " + indexName + " indexállományból hiányzik a(z) " + wanted.tag +
                                      " címke.");
    for (const db::MdxTag& stored : contents->tags) checkTag(table, stored, indexName, report);
}

// Tabs, line breaks and other control characters in a text field: typed or
// pasted text that the fields should not have kept, and that would travel
// into the fund's files. NUL is the fill some programs leave in an empty
// field, not a character of the text.
void checkControlCharacters(const TableImage& table, FileReport& report) {
    const auto& fields = table.header().fields;
    for (uint32_t r = 0; r < table.recordCount(); ++r) {
        if (table.isDeleted(r)) continue;
        for (size_t f = 0; f < fields.size(); ++f) {
            if (fields[f].type != 'C') continue;
            std::string text = table.value(r, static_cast<int>(f)).asString();
            std::erase(text, '\0');
            if (app::hasControlCharacters(text))
                report.problems.push_back("A(z) " + std::to_string(r + 1) + ". rekord " + fields[f].name +
                                          " mezőjében vezérlőkarakter (tabulátor, sortörés vagy más) van.");
        }
    }
}

// --- the rows across tables ----------------------------------------------------------

using Images = std::map<std::string, std::unique_ptr<TableImage>>;  // by table name
using Reports = std::map<std::string, FileReport*>;

// The live values of one field of a table.
std::set<std::string> valuesOf(const TableImage& table, const std::string& field) {
    std::set<std::string> values;
    const int f = table.fieldIndex(field);
    if (f < 0) return values;
    for (uint32_t r = 0; r < table.recordCount(); ++r)
        if (!table.isDeleted(r)) values.insert(table.text(r, f));
    return values;
}

std::string sheetKey(const TableImage& table, uint32_t r) {
    return table.text(r, table.fieldIndex("Idoszak")) + "/" + table.text(r, table.fieldIndex("Sorsz")) +
           table.text(r, table.fieldIndex("Resz"));
}

std::string digits(const std::string& s) {
    std::string d;
    for (char c : s)
        if (c >= '0' && c <= '9') d += c;
    return d;
}

// Each live row's sheet key, a duplicate reported once.
std::set<std::string> sheetKeys(const TableImage& table, FileReport& report) {
    std::set<std::string> keys, reported;
    for (uint32_t r = 0; r < table.recordCount(); ++r) {
        if (table.isDeleted(r)) continue;
        const std::string key = sheetKey(table, r);
        if (!keys.insert(key).second && reported.insert(key).second)
            report.problems.push_back("A(z) " + key + " lap többször szerepel.");
    }
    return keys;
}

void missingNurse(const std::set<std::string>& nurses, const std::string& taj, const std::string& key,
                  FileReport& report) {
    if (taj.empty() || nurses.count(taj)) return;
    // A nurse on several days of a sheet is one fault of that sheet.
    const std::string line = "A(z) " + key + " lap a(z) " + taj + " TAJ-számú ápolóra hivatkozik, aki nincs az ápolók között.";
    if (std::find(report.problems.begin(), report.problems.end(), line) == report.problems.end())
        report.problems.push_back(line);
}

void checkHeaders(const TableImage& hlapa, const Images& images, const std::set<std::string>& visitKeys,
                  FileReport& report) {
    const auto table = [&](const char* name) { return images.count(name) ? images.at(name).get() : nullptr; };
    const std::optional<std::set<std::string>> patients =
        table("BETEG") ? std::optional(valuesOf(*table("BETEG"), "TAJ")) : std::nullopt;
    const std::optional<std::set<std::string>> nurses =
        table("APOL") ? std::optional(valuesOf(*table("APOL"), "Aptaj")) : std::nullopt;
    const std::optional<std::set<std::string>> doctors =
        table("ORVOS") ? std::optional(valuesOf(*table("ORVOS"), "Orvoskod")) : std::nullopt;
    for (uint32_t r = 0; r < hlapa.recordCount(); ++r) {
        if (hlapa.isDeleted(r)) continue;
        const std::string key = sheetKey(hlapa, r);
        if (table("HLAPB") && !visitKeys.count(key))
            report.problems.push_back("A(z) " + key + " lapnak nincs látogatási sora (HLapb.dbf).");
        const std::string taj = hlapa.text(r, hlapa.fieldIndex("Taj"));
        if (patients && !patients->count(taj))
            report.problems.push_back("A(z) " + key + " lap betege (TAJ: " + (taj.empty() ? "üres" : taj) +
                                      ") nincs a betegek között.");
        if (nurses)
            for (int i = 1; i <= 8; ++i)
                missingNurse(*nurses, hlapa.text(r, hlapa.fieldIndex("Aptaj" + std::to_string(i))), key, report);
        if (doctors)
            for (const char* field : {"Orvkode", "Orvkodj"}) {
                const std::string code = hlapa.text(r, hlapa.fieldIndex(field));
                // A sheet without a referring doctor stores "0" there.
                if (!code.empty() && code != "0" && !doctors->count(code))
                    report.problems.push_back("A(z) " + key + " lap a(z) " + code +
                                              " kódú orvosra hivatkozik, aki nincs az orvosok között.");
            }
    }
}

void checkVisits(const TableImage& hlapb, const Images& images, const std::set<std::string>& headerKeys,
                 FileReport& report) {
    const bool haveHeaders = images.count("HLAPA") > 0;
    const std::optional<std::set<std::string>> nurses =
        images.count("APOL") ? std::optional(valuesOf(*images.at("APOL"), "Aptaj")) : std::nullopt;
    for (uint32_t r = 0; r < hlapb.recordCount(); ++r) {
        if (hlapb.isDeleted(r)) continue;
        const std::string key = sheetKey(hlapb, r);
        if (haveHeaders && !headerKeys.count(key))
            report.problems.push_back("A(z) " + key + " látogatási sorának nincs fejsora (HLapa.dbf).");
        const std::string month = digits(hlapb.text(r, hlapb.fieldIndex("Idoszak")));
        for (int day = 1; day <= 31; ++day) {
            const std::string n = std::to_string(day);
            const std::string date = hlapb.text(r, hlapb.fieldIndex("APDAT" + n));
            if (!date.empty() && digits(date).substr(0, 6) != month)
                report.problems.push_back("A(z) " + key + " lap " + n + ". látogatása (" + date +
                                          ") nem a lap hónapjára esik.");
            if (nurses) missingNurse(*nurses, hlapb.text(r, hlapb.fieldIndex("APBTAJ" + n)), key, report);
        }
    }
}

void crossCheck(const Images& images, Reports& reports) {
    std::set<std::string> headerKeys, visitKeys;
    if (images.count("HLAPA")) headerKeys = sheetKeys(*images.at("HLAPA"), *reports.at("HLAPA"));
    if (images.count("HLAPB")) visitKeys = sheetKeys(*images.at("HLAPB"), *reports.at("HLAPB"));
    if (images.count("HLAPA")) checkHeaders(*images.at("HLAPA"), images, visitKeys, *reports.at("HLAPA"));
    if (images.count("HLAPB")) checkVisits(*images.at("HLAPB"), images, headerKeys, *reports.at("HLAPB"));
    const auto image = [&](const char* name) { return images.count(name) ? images.at(name).get() : nullptr; };
    checkSendingTraces(image("HLAPA"), image("ZARAS"), *reports.at("HLAPA"), *reports.at("ZARAS"));
    if (image("ELOZMENY"))
        checkHistory(*image("ELOZMENY"), image("ELOZVEG"), *reports.at("ELOZMENY"));
}

} // namespace

bool CheckReport::clean() const { return problemCount() == 0; }

int CheckReport::problemCount() const {
    int n = 0;
    for (const FileReport& f : files) n += static_cast<int>(f.problems.size());
    return n;
}

CheckReport checkDataDirectory(const std::string& dir) { return checkDataDirectory(store::placesFor(dir)); }

CheckReport checkDataDirectory(const store::Places& places) {
    const std::string& dir = places.dataDir;
    CheckReport report;
    const std::map<std::string, fs::path> files = filesOf(dir);
    // What a kill or a power cut left for the next start to settle.
    FileReport general;
    general.problems = store::pendingRecovery(places);
    if (!general.problems.empty()) report.files.push_back(general);

    Images images;
    report.files.reserve(report.files.size() + checkedTables().size());
    Reports reports;
    for (const schema::TableDef* def : checkedTables()) {
        FileReport file;
        file.file = def->fileName;
        const auto found = files.find(lower(def->fileName));
        if (found == files.end()) {
            // The password table comes with the first login.
            if (def != &schema::SYS()) file.problems.push_back("Hiányzik a(z) " + def->fileName + " tábla.");
        } else {
            try {
                auto image = std::make_unique<TableImage>(found->second.string());
                file.file = image->fileName();
                file.read = true;
                file.records = static_cast<int>(image->recordCount());
                checkSize(*image, file);
                checkIndex(*def, *image, files, file);
                checkControlCharacters(*image, file);
                images[def->name] = std::move(image);
            } catch (const std::exception& e) {
                file.problems.push_back(e.what());
            }
        }
        report.files.push_back(std::move(file));
        reports[def->name] = &report.files.back();
    }
    crossCheck(images, reports);
    return report;
}

CheckReport checkOpenDataDirectory(db::Database& db) {
    store::mindzar(db);
    CheckReport report;
    try {
        report = checkDataDirectory(db.directory());
    } catch (...) {
        store::mindnyit(db);
        throw;
    }
    store::mindnyit(db);
    return report;
}

std::string reportText(const CheckReport& report) {
    int tables = 0, records = 0;
    for (const FileReport& f : report.files)
        if (f.read) {
            ++tables;
            records += f.records;
        }
    if (report.clean())
        return "Az adatok rendben vannak: " + std::to_string(tables) + " tábla, " + std::to_string(records) +
               " sor ellenőrizve.\n";
    std::string text;
    for (const FileReport& f : report.files) {
        if (f.problems.empty()) continue;
        text += (f.file.empty() ? std::string("Adatkönyvtár") : f.file) + ":\n";
        for (const std::string& p : f.problems) text += "  " + p + "\n";
    }
    text += "Összesen " + std::to_string(report.problemCount()) + " hiba, " + std::to_string(tables) +
            " tábla ellenőrizve.\n";
    return text;
}

} // namespace velmora::check
