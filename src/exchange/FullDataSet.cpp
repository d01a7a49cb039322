// Reading the fund's complete data set: every record checked and converted
// before a single row is handed on.
#include "exchange/FullDataSet.h"

#include "app/Messages.h"
#include "app/Date.h"
#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "exchange/IncomingLayouts.h"
#include "store/Schemas.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

namespace velmora::exchange {

namespace {

namespace schema = store::schema;

constexpr size_t kProblemsShown = 30;

// The problems of all three files; the first ones are shown, the rest counted.
class Problems {
public:
    void add(const std::string& text) {
        if (lines_.size() < kProblemsShown) lines_.push_back(text);
        ++count_;
    }
    bool any() const { return count_ > 0; }
    std::string text() const {
        std::string out = "A teljes adatállomány hibás, a helyi lapok nem változtak:";
        for (const std::string& l : lines_) out += "\n" + l;
        if (count_ > lines_.size()) out += "\n... és további " + std::to_string(count_ - lines_.size()) + " hiba.";
        return out;
    }

private:
    std::vector<std::string> lines_;
    size_t count_ = 0;
};

size_t characters(const std::string& utf8) {
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// One opened fund file and the reading of its current record.
// The number the system gives the opening of each file: (9), (10), (11).
std::string openingStep(Incoming id) {
    return id == Incoming::HAa ? "9" : id == Incoming::HAb ? "10" : "11";
}

class Source {
public:
    Source(const std::string& path, Incoming id, Problems& problems)
        : name_(std::filesystem::path(path).filename().string()), problems_(problems) {
        try {
            file_ = db::DbfFile::open(path);
        } catch (const db::DbError& e) {
            // The system's numbered failure of the step, the engine's words below it.
            throw app::UserError(app::text(app::Msg::QueryFailedNumbered, {openingStep(id)}) + "\n" + e.what());
        }
        if (const auto lacks = checkIncomingFields(incomingLayout(id), file_->fields(), name_))
            throw app::UserError(*lacks);
    }

    const std::string& name() const { return name_; }
    uint32_t count() const { return file_->recordCount(); }
    // Moves to a record; false for a deleted one.
    bool at(uint32_t recno) {
        recno_ = recno;
        return !file_->isDeleted(recno);
    }
    void problem(const std::string& text) {
        problems_.add("A(z) " + name_ + " állomány " + std::to_string(recno_ + 1) + ". rekordja: " + text);
    }

    db::Value value(const std::string& field) const {
        return file_->value(recno_, db::findField(file_->fields(), field));
    }
    // Names and addresses of the fund's files go to one-line fields the
    // user sees: no tabs, line breaks or other control characters.
    std::string text(const std::string& field) const { return trimmed(app::cleanTypedText(value(field).asString())); }

    // A text for a field of `width` characters of the local table.
    std::string text(const std::string& field, int width) {
        std::string t = text(field);
        if (characters(t) > static_cast<size_t>(width)) {
            problem("a(z) " + field + " mező (\"" + t + "\") hosszabb " + std::to_string(width) + " karakternél");
            t.clear();
        }
        return t;
    }

    // A whole number from 0 to `max`; nothing when blank or bad (a bad one
    // is a problem).
    std::optional<int64_t> integer(const std::string& field, int64_t max) {
        const db::Value v = value(field);
        std::optional<db::Decimal> d;
        if (v.isNumber()) {
            d = v.number();
        } else if (v.isText()) {
            const std::string t = trimmed(v.text());
            if (t.empty()) return std::nullopt;
            if (t.find_first_not_of("0123456789") == std::string::npos && t.size() <= 18) d = db::Decimal::parse(t);
        } else if (v.isNull()) {
            return std::nullopt;
        }
        if (!d || !d->isInteger() || d->toInt() < 0 || d->toInt() > max) {
            problem("a(z) " + field + " mező (\"" + v.asString() + "\") nem 0 és " + std::to_string(max) +
                    " közötti egész szám");
            return std::nullopt;
        }
        return d->toInt();
    }

    // A required number: blank is a problem too.
    std::optional<int64_t> requiredInteger(const std::string& field, int64_t max) {
        const bool blank = value(field).isNull() || text(field).empty();
        if (blank) problem("a(z) " + field + " mező üres");
        return blank ? std::nullopt : integer(field, max);
    }

    // "YYYYMM" as "YYYY.MM".
    std::optional<std::string> period(const std::string& field) {
        const std::string t = text(field);
        std::optional<std::string> p = periodFromDigits(t);
        if (!p) problem("a(z) " + field + " mező (\"" + t + "\") nem ÉÉÉÉHH alakú időszak");
        return p;
    }

    // A date field as the local tables hold it (null when blank).
    db::Value date(const std::string& field) {
        const db::Value v = value(field);
        if (!v.isDamaged()) return v;
        problem("a(z) " + field + " mező (\"" + v.asString() + "\") nem valódi dátum");
        return {};
    }

private:
    std::string name_;
    Problems& problems_;
    std::unique_ptr<db::DbfFile> file_;
    uint32_t recno_ = 0;
};

db::Value textOrNull(const std::string& s) { return s.empty() ? db::Value() : db::Value(s); }

// Field positions of a local table's layout.
class Layout {
public:
    explicit Layout(const schema::TableDef& def) : def_(def) {}
    size_t operator[](const std::string& field) const {
        const int i = db::findField(def_.fields, field);
        if (i < 0) throw std::logic_error("no field " + field + " in " + def_.name);
        return static_cast<size_t>(i);
    }
    std::vector<db::Value> blankRow() const { return std::vector<db::Value>(def_.fields.size()); }
    int width(const std::string& field) const { return def_.fieldWidth(field); }

private:
    const schema::TableDef& def_;
};

// Zeros in front up to `width` digits; a longer number keeps all its digits.
std::string zeroPadded(int64_t n, size_t width) {
    const std::string digits = std::to_string(n);
    return digits.size() >= width ? digits : std::string(width - digits.size(), '0') + digits;
}

struct SheetKey {
    std::string period;
    int64_t sorsz = 0;
    std::string resz;
    auto operator<=>(const SheetKey&) const = default;
};

std::string keyText(const SheetKey& k) {
    return k.period + " " + zeroPadded(k.sorsz, 5) + (k.resz.empty() ? "" : "/" + k.resz);
}

std::string sheetNumber(int64_t sorsz) { return zeroPadded(sorsz, 5); }

// A provider code that is not ours marks a file of another provider.
void checkProvider(Source& src, const std::string& kabkod, const std::string& intkod) {
    if (kabkod != intkod)
        src.problem("az intézménykód (\"" + kabkod + "\") nem a szolgáltatóé (\"" + intkod + "\")");
}

struct Header {
    SheetKey key;
    std::vector<db::Value> row;
    uint32_t recno;
};

std::vector<Header> readHeaders(Source& src, const std::string& intkod) {
    const Layout a(schema::HLAPA());
    std::vector<Header> out;
    for (uint32_t r = 0; r < src.count(); ++r) {
        if (!src.at(r)) continue;
        std::vector<db::Value> row = a.blankRow();
        const std::string kabkod = src.text("KABKOD", a.width("Intkod"));
        checkProvider(src, kabkod, intkod);
        const std::optional<std::string> period = src.period("IDOSZAK");
        const std::optional<int64_t> sorsz = src.requiredInteger("SORSZAM", 99999);
        const std::string resz = src.text("RESZ", a.width("Resz"));
        const std::string aztip = src.text("AZTIP", a.width("Aztip"));

        row[a["Intkod"]] = textOrNull(kabkod);
        row[a["Finkod"]] = textOrNull(src.text("FINKOD", a.width("Finkod")));
        row[a["Resz"]] = textOrNull(resz);
        // A patient without a TAJ number (identifier type 0) comes with it blank.
        if (aztip == "0" && src.text("TAJ").empty()) {
        } else if (const auto taj = src.requiredInteger("TAJ", 999999999)) {
            row[a["Taj"]] = zeroPadded(*taj, 9);
        }
        row[a["Kozigkod"]] = textOrNull(src.text("KOZIGKOD", a.width("Kozigkod")));
        const std::optional<int64_t> terpot = src.integer("TERPOT", 9);
        if (terpot && *terpot != 1 && *terpot != 2) src.problem("a(z) TERPOT mező nem 1 vagy 2");
        row[a["Tpotl"]] = db::Value(terpot == 1 ? "N" : "I");
        if (const auto orvkode = src.requiredInteger("ORVKODE", 999999))
            row[a["Orvkode"]] = zeroPadded(*orvkode, 5);
        const std::optional<int64_t> orvtip = src.integer("ORVTIP", 9);
        if (period && *period > "2024.04") row[a["Orvtip"]] = db::Value(orvtip ? std::to_string(*orvtip) : "1");
        row[a["Orvkodj"]] = db::Value(std::to_string(src.integer("ORVKODJ", 999999).value_or(0)));
        for (const char* d : {"Elrend", "Szakvet", "Lezdat"}) row[a[d]] = src.date(db::upperAscii(d));
        row[a["Gyak"]] = textOrNull(src.text("GYAK", a.width("Gyak")));
        for (const char* n : {"Elvizdb", "Elszviz", "Elszam"})
            if (const auto v = src.integer(db::upperAscii(n), 999)) row[a[n]] = db::Value(*v);
        for (int i = 1; i <= 8; ++i) {
            const std::string f = "APTAJ" + std::to_string(i);
            row[a[f]] = textOrNull(src.text(f, a.width(f)));
        }
        row[a["Aztip"]] = textOrNull(aztip);
        row[a["Terkat"]] = textOrNull(src.text("TERKAT", a.width("Terkat")));
        row[a["Allamp"]] = textOrNull(src.text("ALLAMP", a.width("Allamp")));
        if (const auto sznap = src.integer("ONAPDB", 31)) row[a["SzNap"]] = db::Value(*sznap);

        if (!period || !sorsz) continue;
        row[a["Idoszak"]] = *period;
        row[a["Sorsz"]] = sheetNumber(*sorsz);
        out.push_back({{*period, *sorsz, resz}, std::move(row), r});
    }
    return out;
}

struct Visit {
    SheetKey key;
    int day = 0;
    uint32_t recno = 0;
    std::string kabkod, finkod, tev, apbtaj, eli;
    db::Value apdat;
};

std::vector<Visit> readVisits(Source& src, const std::string& intkod) {
    const Layout b(schema::HLAPB());
    std::vector<Visit> out;
    out.reserve(src.count());
    for (uint32_t r = 0; r < src.count(); ++r) {
        if (!src.at(r)) continue;
        Visit v;
        v.recno = r;
        v.kabkod = src.text("KABKOD", b.width("Intkod"));
        checkProvider(src, v.kabkod, intkod);
        v.finkod = src.text("FINKOD", b.width("Finkod"));
        const std::optional<std::string> period = src.period("IDOSZAK");
        const std::optional<int64_t> sorsz = src.requiredInteger("SORSZAM", 99999);
        const std::string resz = src.text("RESZ", b.width("Resz"));
        v.tev = src.text("TEVKOD", b.width("Tev1"));
        v.apbtaj = src.text("APBTAJ", b.width("Apbtaj1"));
        v.eli = src.text("ELSZIDO", b.width("Eli1"));
        v.apdat = src.date("APDATUM");
        const std::optional<app::Date> day = v.apdat.isText() ? app::Date::parse(v.apdat.text()) : std::nullopt;
        if (!day && !v.apdat.isDamaged()) src.problem("a(z) APDATUM mező üres");
        if (!period || !sorsz || !day) continue;
        if (day->period() != *period) {
            src.problem("a látogatás napja (" + day->text() + ") nem a(z) " + *period + " időszakba esik");
            continue;
        }
        v.key = {*period, *sorsz, resz};
        v.day = day->day;
        out.push_back(std::move(v));
    }
    return out;
}

struct Diagnosis {
    SheetKey key;
    int64_t type = 0;
    std::string code;
    uint32_t recno = 0;
};

std::vector<Diagnosis> readDiagnoses(Source& src) {
    const Layout a(schema::HLAPA());
    std::vector<Diagnosis> out;
    for (uint32_t r = 0; r < src.count(); ++r) {
        if (!src.at(r)) continue;
        const std::optional<std::string> period = src.period("IDOSZAK");
        const std::optional<int64_t> sorsz = src.requiredInteger("SORSZAM", 99999);
        const std::string resz = src.text("RESZ", a.width("Resz"));
        const std::optional<int64_t> type = src.requiredInteger("BNOTIP", 4);
        if (type == 0) src.problem("a(z) BNOTIP mező nem 1 és 4 közötti");
        const std::string code = src.text("BNOKOD", a.width("Bnofo"));
        if (period && sorsz && type && *type > 0) out.push_back({{*period, *sorsz, resz}, *type, code, r});
    }
    return out;
}

// Two records of the same key: the later one is the problem.
template <class Item, class KeyOf>
void refuseDuplicates(std::vector<Item>& items, Source& src, KeyOf keyOf, const std::string& what) {
    std::stable_sort(items.begin(), items.end(), [&](const Item& x, const Item& y) { return keyOf(x) < keyOf(y); });
    for (size_t i = 1; i < items.size(); ++i)
        if (keyOf(items[i]) == keyOf(items[i - 1])) {
            src.at(std::max(items[i].recno, items[i - 1].recno));
            src.problem(what + " (" + keyText(items[i].key) + ") már szerepel a(z) " +
                        std::to_string(std::min(items[i].recno, items[i - 1].recno) + 1) + ". rekordban");
        }
}

// One HLAPB row per sheet key from its sorted visits.
TableRows visitRows(const std::vector<Visit>& visits, const std::string& newest,
                    std::map<SheetKey, int>& billedDays) {
    const Layout b(schema::HLAPB());
    const size_t tev1 = b["Tev1"];
    TableRows rows;
    for (size_t i = 0; i < visits.size();) {
        const Visit& first = visits[i];
        std::vector<db::Value> row = b.blankRow();
        row[b["Idoszak"]] = first.key.period;
        row[b["Intkod"]] = textOrNull(first.kabkod);
        row[b["Finkod"]] = textOrNull(first.finkod);
        row[b["Sorsz"]] = sheetNumber(first.key.sorsz);
        row[b["Resz"]] = textOrNull(first.key.resz);
        row[b["Elkuldve"]] = takenOverState(first.key.period, newest);
        int billed = 0;
        for (; i < visits.size() && visits[i].key == first.key; ++i) {
            const Visit& v = visits[i];
            const size_t at = tev1 + static_cast<size_t>(v.day - 1) * 4;
            row[at] = textOrNull(v.tev);
            row[at + 1] = v.apdat;
            row[at + 2] = textOrNull(v.apbtaj);
            row[at + 3] = textOrNull(v.eli);
            if (!app::IsBlank(v.eli)) ++billed;
        }
        billedDays[first.key] = billed;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

std::string takenOverState(const std::string& period, const std::string& newest) {
    const std::optional<app::Date> first = app::Date::parse(newest + ".01");
    if (!first) throw std::invalid_argument("not a period: " + newest);
    return period < first->addMonths(-3).period() ? "xxxx.xx" : period;
}

std::string paymentMark(int sznap, int billedDays) {
    if (billedDays == 0) return "";
    if (sznap == billedDays) return "ű";
    if (sznap > billedDays) return "R";
    return "";
}

FullDataSet readFullDataSet(const FullDataSetFiles& files, const std::string& intkod) {
    Problems problems;
    Source haa(files.haa, Incoming::HAa, problems);
    Source hab(files.hab, Incoming::HAb, problems);
    Source hac(files.hac, Incoming::HAc, problems);

    std::vector<Header> headers = readHeaders(haa, intkod);
    if (headers.empty() && !problems.any()) throw app::UserError("Nincs elszámolt lap");
    std::vector<Visit> visits = readVisits(hab, intkod);
    std::vector<Diagnosis> diagnoses = readDiagnoses(hac);

    refuseDuplicates(headers, haa, [](const Header& h) { return h.key; }, "a lap");
    refuseDuplicates(visits, hab, [](const Visit& v) { return std::tie(v.key, v.day); }, "a lap látogatási napja");
    refuseDuplicates(diagnoses, hac, [](const Diagnosis& d) { return std::tie(d.key, d.type); }, "a lap diagnózisa");
    if (problems.any()) throw app::UserError(problems.text());

    FullDataSet set;
    set.rowsRead = static_cast<int>(haa.count() + hab.count() + hac.count());
    set.newest = std::max_element(headers.begin(), headers.end(), [](const Header& x, const Header& y) {
                     return x.key.period < y.key.period;
                 })->key.period;

    std::map<SheetKey, int> billed;
    set.visits = visitRows(visits, set.newest, billed);

    const Layout a(schema::HLAPA());
    std::map<SheetKey, size_t> byKey;
    for (size_t i = 0; i < headers.size(); ++i) byKey[headers[i].key] = i;
    static const char* const kBnoFields[] = {"", "Bnofek", "Bnofo", "Bnokis", "Bnoab"};
    for (const Diagnosis& d : diagnoses) {
        const auto it = byKey.find(d.key);
        if (it == byKey.end()) {
            ++set.diagnosesWithoutSheet;
            continue;
        }
        headers[it->second].row[a[kBnoFields[d.type]]] = textOrNull(d.code);
    }
    for (Header& h : headers) {
        h.row[a["Elkuldve"]] = takenOverState(h.key.period, set.newest);
        const auto it = billed.find(h.key);
        const int sznap = static_cast<int>(h.row[a["SzNap"]].asInt());
        h.row[a["Allapot"]] = textOrNull(paymentMark(sznap, it == billed.end() ? 0 : it->second));
        set.headers.push_back(std::move(h.row));
    }
    return set;
}

} // namespace velmora::exchange
