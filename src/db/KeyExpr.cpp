#include "db/KeyExpr.h"

#include "db/Collation.h"
#include "db/DbError.h"
#include "db/KeyEncoding.h"

#include <cctype>
#include <optional>
#include <strings.h>
#include <unordered_map>

namespace velmora::db {

struct KeyExpr::Segment {
    enum class Kind { Field, Dtos, Dtoc, Str };
    Kind kind = Kind::Field;
    int field = -1;
    FieldDef def;
    int width = 0;     // str(): result width
    int decimals = 0;  // str(): decimals shown

    bool bareCharOrDate() const { return kind == Kind::Field && (def.type == 'C' || def.type == 'D'); }
};

namespace {

using Segment = KeyExpr::Segment;

// Tokens of a key expression: names, integers and the punctuation "+(),".
class Lexer {
public:
    explicit Lexer(const std::string& text) : s_(text) {}

    void skipBlanks() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool atEnd() {
        skipBlanks();
        return pos_ >= s_.size();
    }
    bool accept(char c) {
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    std::optional<std::string> name() {
        skipBlanks();
        const size_t start = pos_;
        if (pos_ >= s_.size() || !(std::isalpha(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
            return std::nullopt;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
        return s_.substr(start, pos_ - start);
    }
    std::optional<int> integer() {
        skipBlanks();
        const size_t start = pos_;
        int v = 0;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])) && pos_ - start < 4)
            v = v * 10 + (s_[pos_++] - '0');
        if (pos_ == start) return std::nullopt;
        return v;
    }

private:
    const std::string& s_;
    size_t pos_ = 0;
};

class Parser {
public:
    Parser(const std::string& text, const FieldList& fields) : text_(text), fields_(fields), lex_(text) {}

    std::vector<Segment> parse() {
        std::vector<Segment> segments;
        do segments.push_back(term());
        while (lex_.accept('+'));
        if (!lex_.atEnd()) fail("váratlan jel a kifejezésben");
        return segments;
    }

private:
    [[noreturn]] void fail(const std::string& why) const {
        throw DbError(DbError::Code::BadExpression, "Hibás indexkifejezés: " + text_ + " (" + why + ")");
    }

    Segment fieldSegment(const std::string& name) const {
        const int index = findField(fields_, name);
        if (index < 0) fail("ismeretlen mező: " + name);
        Segment s;
        s.field = index;
        s.def = fields_[index];
        return s;
    }

    Segment term() {
        const auto name = lex_.name();
        if (!name) fail("mezőnév hiányzik");
        if (!lex_.accept('(')) return fieldSegment(*name);

        Segment s;
        if (strcasecmp(name->c_str(), "dtos") == 0) s.kind = Segment::Kind::Dtos;
        else if (strcasecmp(name->c_str(), "dtoc") == 0) s.kind = Segment::Kind::Dtoc;
        else if (strcasecmp(name->c_str(), "str") == 0) s.kind = Segment::Kind::Str;
        else fail("ismeretlen függvény: " + *name);

        const auto arg = lex_.name();
        if (!arg) fail("mezőnév hiányzik");
        const Segment field = fieldSegment(*arg);
        s.field = field.field;
        s.def = field.def;
        if (s.kind == Segment::Kind::Str) strArguments(s);
        else if (s.def.type != 'D') fail(*name + "() dátum mezőt vár: " + *arg);
        if (!lex_.accept(')')) fail("hiányzó zárójel");
        return s;
    }

    // str(n) defaults to dBASE's width of 10; str(n,w) and str(n,w,d).
    void strArguments(Segment& s) {
        if (s.def.type != 'N' && s.def.type != 'F') fail("str() szám mezőt vár: " + s.def.name);
        s.width = 10;
        if (lex_.accept(',')) {
            const auto w = lex_.integer();
            if (!w || *w < 1 || *w > 40) fail("érvénytelen szélesség");
            s.width = *w;
            if (lex_.accept(',')) {
                const auto d = lex_.integer();
                if (!d || *d > 18 || *d >= s.width) fail("érvénytelen tizedesjegyszám");
                s.decimals = *d;
            }
        }
    }

    const std::string& text_;
    const FieldList& fields_;
    Lexer lex_;
};

std::string rightTrimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Width in characters of UTF-8 text (continuation bytes do not count).
size_t charCount(const std::string& utf8) {
    size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

std::string padLeft(std::string text, int width) {
    const size_t n = charCount(text);
    if (n < static_cast<size_t>(width)) text.insert(0, width - n, ' ');
    return text;
}

std::string padRight(std::string text, int width) {
    const size_t n = charCount(text);
    if (n < static_cast<size_t>(width)) text.append(width - n, ' ');
    return text;
}

// Text a segment produces, as dBASE shows it. dtoc() gives the program-wide
// date form "YYYY.MM.DD" rather than a locale's day-first form: it is what
// the rest of the program shows, and it sorts chronologically.
std::string segmentText(const Segment& s, const Value& v) {
    switch (s.kind) {
    case Segment::Kind::Dtos: {
        const std::string d = keyenc::dateDigits(v);
        return d.empty() ? std::string(8, ' ') : d;
    }
    case Segment::Kind::Dtoc: {
        const std::string d = keyenc::dateDigits(v);
        if (d.empty()) return std::string(10, ' ');
        if (d.size() != 8) return d;
        return d.substr(0, 4) + "." + d.substr(4, 2) + "." + d.substr(6, 2);
    }
    case Segment::Kind::Str:
        return keyenc::strText(v, s.width, s.decimals);
    case Segment::Kind::Field:
        break;
    }
    switch (s.def.type) {
    case 'D': {
        const std::string d = keyenc::dateDigits(v);
        return d.empty() ? std::string(8, ' ') : d;
    }
    case 'N':
    case 'F':
        if (v.isDamaged()) return padLeft(v.asString(), s.def.width);
        return v.isNull() ? std::string(s.def.width, ' ') : keyenc::strText(v, s.def.width, s.def.decimals);
    case 'L':
        if (v.isDamaged()) return v.asString();
        return v.isNull() ? " " : (v.asBool() ? "T" : "F");
    default:
        return padRight(v.asString(), s.def.width);
    }
}

std::string segmentKey(const Segment& s, const Value& v) {
    if (s.kind == Segment::Kind::Field) {
        if (s.def.type == 'D') return keyenc::dateKey(v);
        if (s.def.type == 'N' || s.def.type == 'F') return keyenc::numberKey(v);
        if (s.def.type != 'C') return collation::sortKey(rightTrimmed(segmentText(s, v)));
        return collation::sortKey(rightTrimmed(v.asString()));
    }
    return collation::sortKey(rightTrimmed(segmentText(s, v)));
}

// The sort key of a character value sought in an index. The same values are
// sought again and again (a join seeks with each outer row's key, every
// check with the same sheet's), and the collator is the costly part of a
// seek, so their keys are kept; all forgotten at once when there are many.
const std::string& soughtKey(const std::string& text) {
    thread_local std::unordered_map<std::string, std::string> keys;
    if (auto it = keys.find(text); it != keys.end()) return it->second;
    if (keys.size() >= 4096) keys.clear();
    return keys.emplace(text, collation::sortKey(text)).first->second;
}

} // namespace

KeyExpr KeyExpr::compile(const std::string& expression, const FieldList& fields) {
    KeyExpr k;
    k.text_ = expression;
    k.segments_ = Parser(expression, fields).parse();
    for (const Segment& s : k.segments_) {
        if (!s.bareCharOrDate()) break;
        k.leading_.push_back(s.field);
    }
    return k;
}

std::string KeyExpr::sortKey(const RecordSource& record) const {
    std::string key;
    for (const Segment& s : segments_) key += segmentKey(s, record.value(s.field));
    return key;
}

bool KeyExpr::uses(int field) const {
    for (const Segment& s : segments_)
        if (s.field == field) return true;
    return false;
}

std::string KeyExpr::prefixKey(const std::vector<Value>& values) const {
    if (values.size() > segments_.size())
        throw DbError(DbError::Code::State, "Az index kulcsa kevesebb mezőből áll: " + text_);
    std::string key;
    for (size_t i = 0; i < values.size(); ++i) {
        if (!segments_[i].bareCharOrDate())
            throw DbError(DbError::Code::State, "Az index kulcsa nem kereshető ezen a részén: " + text_);
        const Segment& s = segments_[i];
        if (s.kind == Segment::Kind::Field && s.def.type == 'C') key += soughtKey(rightTrimmed(values[i].asString()));
        else key += segmentKey(s, values[i]);
    }
    return key;
}

std::string KeyExpr::keyText(const RecordSource& record) const {
    std::string text;
    for (const Segment& s : segments_) text += segmentText(s, record.value(s.field));
    return text;
}

KeyExpr::KeyExpr() = default;
KeyExpr::~KeyExpr() = default;
KeyExpr::KeyExpr(const KeyExpr&) = default;
KeyExpr& KeyExpr::operator=(const KeyExpr&) = default;
KeyExpr::KeyExpr(KeyExpr&&) noexcept = default;
KeyExpr& KeyExpr::operator=(KeyExpr&&) noexcept = default;

} // namespace velmora::db
