// Filling the shipment's records from the rows of the local tables.
#include "exchange/Records.h"

#include "app/UserError.h"
#include "db/FieldDef.h"

#include <utility>

namespace velmora::exchange {
namespace {

using db::Value;

std::string textOf(const QueryRow& row, const std::string& column) {
    auto it = row.find(column);
    return it == row.end() ? std::string() : it->second.asString();
}

Value valueOf(const QueryRow& row, const std::string& column) {
    auto it = row.find(column);
    return it == row.end() ? Value() : it->second;
}

bool filled(const QueryRow& row, const std::string& column) { return !textOf(row, column).empty(); }

// Values by field name; fields the layout lacks are left out, fields it has
// and no value was given for stay blank.
class RecordBuilder {
public:
    explicit RecordBuilder(const OutgoingLayout& layout) : layout_(layout), record_(layout.fields.size()) {}

    bool has(const std::string& field) const { return index(field) >= 0; }
    void set(const std::string& field, Value value) {
        if (int i = index(field); i >= 0) record_[i] = std::move(value);
    }
    // An integer code: digits in a character field (no leading zeros), a
    // number in a numeric one. The caller has checked that it is one.
    void setInteger(const std::string& field, int64_t n) {
        const int i = index(field);
        if (i < 0) return;
        record_[i] = layout_.fields[i].type == 'N' ? Value(n) : Value(std::to_string(n));
    }
    bool numeric(const std::string& field) const {
        const int i = index(field);
        return i >= 0 && layout_.fields[i].type == 'N';
    }
    OutRecord take() { return std::move(record_); }

private:
    int index(const std::string& field) const { return db::findField(layout_.fields, field); }
    const OutgoingLayout& layout_;
    OutRecord record_;
};

// The key fields every file starts with.
void setKey(RecordBuilder& r, const QueryRow& row, const std::string& sheetNumberColumn) {
    r.set("KABKOD", valueOf(row, "kabkod").isNull() ? valueOf(row, "intkod") : valueOf(row, "kabkod"));
    r.set("FINKOD", valueOf(row, "finkod"));
    r.setInteger("SORSZAM", integerOf(textOf(row, sheetNumberColumn)).value_or(0));
    r.set("RESZ", valueOf(row, "resz"));
    r.set("IDOSZAK", periodDigits(textOf(row, "idoszak")));
}

std::string nurseColumn(int i) { return "aptaj" + std::to_string(i); }

// Adds a problem when a code that must be an integer is not one.
void requireInteger(std::vector<std::string>& problems, const QueryRow& row, const std::string& column,
                    const std::string& what, bool emptyAllowed) {
    const std::string text = textOf(row, column);
    if (text.empty() && emptyAllowed) return;
    if (!integerOf(text)) problems.push_back(what + (text.empty() ? " üres" : " nem szám: '" + text + "'"));
}

} // namespace

std::optional<int64_t> integerOf(const std::string& text) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return std::nullopt;
    const size_t e = text.find_last_not_of(' ');
    const std::string digits = text.substr(b, e - b + 1);
    if (digits.size() > 18) return std::nullopt;
    int64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string periodDigits(const std::string& period) {
    std::string out;
    for (char c : period)
        if (c != '.') out += c;
    return out;
}

std::string sheetLabel(const QueryRow& row) {
    const std::string number = filled(row, "sorszam") ? textOf(row, "sorszam") : textOf(row, "sorsz");
    return number + textOf(row, "resz") + " (" + textOf(row, "idoszak") + ")";
}

std::vector<std::string> headerProblems(const OutgoingLayout& layout, const QueryRow& row) {
    std::vector<std::string> p;
    requireInteger(p, row, "sorszam", "a sorszám", false);
    requireInteger(p, row, "orvkode", "az elrendelő orvos kódja", false);
    requireInteger(p, row, "orvkodj", "a javasló orvos kódja", true);
    RecordBuilder r(layout);
    if (r.numeric("TAJ")) requireInteger(p, row, "taj", "a TAJ szám", false);
    for (int i = 1; i <= 8; ++i)
        if (r.numeric("APTAJ" + std::to_string(i)))
            requireInteger(p, row, nurseColumn(i), "a(z) " + std::to_string(i) + ". ápoló TAJ száma", true);
    return p;
}

std::vector<std::string> visitProblems(const OutgoingLayout& layout, const QueryRow& row) {
    std::vector<std::string> p;
    requireInteger(p, row, "sorsz", "a sorszám", false);
    if (!RecordBuilder(layout).numeric("APBTAJ")) return p;
    for (int day = 1; day <= 31; ++day) {
        const std::string n = std::to_string(day);
        if (filled(row, "apdat" + n) && filled(row, "tev" + n) && filled(row, "apbtaj" + n))
            requireInteger(p, row, "apbtaj" + n, "a(z) " + n + ". nap ápolójának TAJ száma", false);
    }
    return p;
}

OutRecord headerRecord(const OutgoingLayout& layout, const QueryRow& row, const std::string& period) {
    if (auto problems = headerProblems(layout, row); !problems.empty())
        throw app::UserError(sheetLabel(row) + ": " + problems.front());
    RecordBuilder r(layout);
    setKey(r, row, "sorszam");
    const std::string idoszak = textOf(row, "idoszak");

    r.setInteger("ORVKODE", *integerOf(textOf(row, "orvkode")));
    r.setInteger("ORVKODJ", integerOf(textOf(row, "orvkodj")).value_or(0));
    // The doctor's code type exists for sheets after 2024.04; earlier ones
    // go out without it even in the new layout.
    if (idoszak > "2024.04") r.set("ORVTIP", filled(row, "orvtip") ? valueOf(row, "orvtip") : Value("1"));

    if (r.numeric("TAJ")) r.setInteger("TAJ", *integerOf(textOf(row, "taj")));
    else if (textOf(row, "aztip") != "0") r.set("TAJ", valueOf(row, "taj"));  // type 0: no TAJ to send
    for (int i = 1; i <= 8; ++i) {
        const std::string field = "APTAJ" + std::to_string(i);
        if (r.numeric(field)) r.setInteger(field, integerOf(textOf(row, nurseColumn(i))).value_or(0));
        else r.set(field, valueOf(row, nurseColumn(i)));
    }

    r.set("TERPOT", Value(textOf(row, "terpot") == "N" ? 1 : 2));
    for (const char* same : {"kozigkod", "cim", "neme", "szulido", "aztip", "terkat", "allamp", "elrend",
                             "szakvet", "elvizdb", "gyak", "elszviz", "elszam", "lezdat", "onapdb"})
        r.set(db::upperAscii(same), valueOf(row, same));

    r.set("MODIDO", periodDigits(period));
    // A sheet of an earlier period that goes out unchanged is a late one.
    const bool late = idoszak != period && !filled(row, "modtipus");
    r.set("MODTIPUS", late ? Value("P") : valueOf(row, "modtipus"));
    return r.take();
}

std::vector<OutRecord> visitRecords(const OutgoingLayout& layout, const QueryRow& row) {
    if (auto problems = visitProblems(layout, row); !problems.empty())
        throw app::UserError(sheetLabel(row) + ": " + problems.front());
    std::vector<OutRecord> out;
    for (int day = 1; day <= 31; ++day) {
        const std::string n = std::to_string(day);
        if (!filled(row, "apdat" + n) || !filled(row, "tev" + n) || !filled(row, "apbtaj" + n)) continue;
        RecordBuilder r(layout);
        setKey(r, row, "sorsz");
        r.set("TEVKOD", valueOf(row, "tev" + n));
        r.set("APDATUM", valueOf(row, "apdat" + n));
        if (r.numeric("APBTAJ")) r.setInteger("APBTAJ", *integerOf(textOf(row, "apbtaj" + n)));
        else r.set("APBTAJ", valueOf(row, "apbtaj" + n));
        out.push_back(r.take());
    }
    return out;
}

std::vector<OutRecord> diagnosisRecords(const OutgoingLayout& layout, const QueryRow& row) {
    static const std::pair<const char*, int> kOrder[] = {{"bnofo", 2}, {"bnoab", 4}, {"bnofek", 1}, {"bnokis", 3}};
    std::vector<OutRecord> out;
    for (const auto& [column, type] : kOrder) {
        if (!filled(row, column)) continue;
        RecordBuilder r(layout);
        setKey(r, row, "sorszam");
        r.set("BNOTIP", Value(type));
        r.set("BNOKOD", valueOf(row, column));
        out.push_back(r.take());
    }
    return out;
}

} // namespace velmora::exchange
