#include "db/Filter.h"

#include "db/Collation.h"
#include "db/DbError.h"
#include "db/Decimal.h"

#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora::db {

// A compiled condition: and/or nodes over comparisons of one field with a
// constant that was already converted to the field's type.
struct Filter::Node {
    virtual ~Node() = default;
    virtual bool eval(const RecordSource& record) const = 0;
};

namespace {

using Node = Filter::Node;
using NodePtr = std::unique_ptr<Node>;

// ---------------------------------------------------------------- helpers

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// Bytes of multi-byte UTF-8 sequences count as name characters, so a name
// with an accented letter gets the "unknown field" message, not a syntax error.
bool isNameChar(char c) { return isAsciiLetter(c) || isDigit(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80; }

std::string_view rtrim(std::string_view s) {
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = rtrim(s);
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    return s;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Blank fields read as null; a text of spaces only is blank too, whatever
// the record source made of it.
bool isBlank(const Value& v) {
    return v.isNull() || (v.isText() && rtrim(v.text()).empty());
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::optional<int> digitsValue(std::string_view s, size_t minLen, size_t maxLen) {
    if (s.size() < minLen || s.size() > maxLen)
        return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (!isDigit(c))
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// Date constants reach filters as "YYYY.MM.DD" (the engine's date text),
// as "DD.MM.YYYY" (how the program writes the first and last day of a
// period), or as dtos() text "YYYYMMDD"; "-" and "/" separate as well as ".".
std::optional<std::string> normalizeDate(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.back() == '.')  // "2024.06.10." as Hungarians write it
        text.remove_suffix(1);
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '.' || text[i] == '-' || text[i] == '/') {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    std::optional<int> y, m, d;
    if (parts.size() == 1 && parts[0].size() == 8) {
        y = digitsValue(parts[0].substr(0, 4), 4, 4);
        m = digitsValue(parts[0].substr(4, 2), 2, 2);
        d = digitsValue(parts[0].substr(6, 2), 2, 2);
    } else if (parts.size() == 3 && parts[0].size() == 4) {
        y = digitsValue(parts[0], 4, 4);
        m = digitsValue(parts[1], 1, 2);
        d = digitsValue(parts[2], 1, 2);
    } else if (parts.size() == 3 && parts[2].size() == 4) {
        d = digitsValue(parts[0], 1, 2);
        m = digitsValue(parts[1], 1, 2);
        y = digitsValue(parts[2], 4, 4);
    }
    if (!y || !m || !d || *y < 1 || *m < 1 || *m > 12 || *d < 1 || *d > daysInMonth(*y, *m))
        return std::nullopt;
    char buf[40];  // roomy enough that the compiler can prove no truncation
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", *y, *m, *d);
    return std::string(buf);
}

std::optional<bool> parseLogical(std::string_view text) {
    text = trim(text);
    if (text.size() == 3 && text.front() == '.' && text.back() == '.')  // ".T."
        text = text.substr(1, 1);
    if (text.size() != 1)
        return std::nullopt;
    switch (text[0]) {
    case 'T': case 't': case 'Y': case 'y': case 'I': case 'i': return true;
    case 'F': case 'f': case 'N': case 'n': return false;
    default: return std::nullopt;
    }
}

// ---------------------------------------------------------------- nodes

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

class AndNode : public Node {
public:
    AndNode(NodePtr l, NodePtr r) : l_(std::move(l)), r_(std::move(r)) {}
    bool eval(const RecordSource& rec) const override { return l_->eval(rec) && r_->eval(rec); }
private:
    NodePtr l_, r_;
};

class OrNode : public Node {
public:
    OrNode(NodePtr l, NodePtr r) : l_(std::move(l)), r_(std::move(r)) {}
    bool eval(const RecordSource& rec) const override { return l_->eval(rec) || r_->eval(rec); }
private:
    NodePtr l_, r_;
};

// "is null", "= null", "= ''" and their negations.
class BlankTest : public Node {
public:
    BlankTest(int field, bool wantBlank) : field_(field), wantBlank_(wantBlank) {}
    bool eval(const RecordSource& rec) const override { return isBlank(rec.value(field_)) == wantBlank_; }
private:
    int field_;
    bool wantBlank_;
};

// Field against a non-blank constant. A blank field is not equal to the
// constant and has no order against it, so only "<>" holds for it.
class Comparison : public Node {
public:
    Comparison(int field, Op op) : field_(field), op_(op) {}
    bool eval(const RecordSource& rec) const override {
        const Value v = rec.value(field_);
        // A blank or damaged field equals no constant and has no order.
        if (isBlank(v) || v.isDamaged())
            return op_ == Op::Ne;
        switch (op_) {
        case Op::Eq: return equals(v);
        case Op::Ne: return !equals(v);
        case Op::Lt: return order(v) < 0;
        case Op::Gt: return order(v) > 0;
        case Op::Le: return order(v) <= 0;
        case Op::Ge: return order(v) >= 0;
        }
        return false;
    }

protected:
    // Sign of (field value - constant).
    virtual int order(const Value& v) const = 0;
    virtual bool equals(const Value& v) const { return order(v) == 0; }

private:
    int field_;
    Op op_;
};

class TextComparison : public Comparison {
public:
    TextComparison(int field, Op op, std::string_view constant, bool caseInsensitive)
        : Comparison(field, op), constant_(rtrim(constant)), caseInsensitive_(caseInsensitive),
          folded_(caseInsensitive ? collation::foldCase(constant_) : std::string()) {}

protected:
    int order(const Value& v) const override {
        return collation::compare(rtrim(v.asString()), constant_, caseInsensitive_);
    }
    bool equals(const Value& v) const override {
        const std::string s = v.asString();
        return caseInsensitive_ ? collation::foldCase(rtrim(s)) == folded_ : rtrim(s) == constant_;
    }

private:
    std::string constant_;
    bool caseInsensitive_;
    std::string folded_;
};

// "YYYY.MM.DD" text orders like the dates it stands for.
class DateComparison : public Comparison {
public:
    DateComparison(int field, Op op, std::string date) : Comparison(field, op), date_(std::move(date)) {}
protected:
    int order(const Value& v) const override { return trim(v.asString()).compare(date_); }
private:
    std::string date_;
};

class NumberComparison : public Comparison {
public:
    NumberComparison(int field, Op op, Decimal number) : Comparison(field, op), number_(number) {}
protected:
    int order(const Value& v) const override { return Decimal::compare(v.asDecimal(), number_); }
private:
    Decimal number_;
};

class LogicalComparison : public Comparison {
public:
    LogicalComparison(int field, Op op, bool b) : Comparison(field, op), b_(b) {}
protected:
    int order(const Value& v) const override { return int(v.asBool()) - int(b_); }
private:
    bool b_;
};

// ---------------------------------------------------------------- tokens

enum class Tok { Name, Text, Number, Op, LParen, RParen, End };

struct Token {
    Tok kind;
    std::string text;
    size_t pos;  // byte offset in the expression
};

// ---------------------------------------------------------------- parser

// Recursive descent over the token list:
//   or-expr  := and-expr { "or" and-expr }
//   and-expr := primary { "and" primary }
//   primary  := "(" or-expr ")" | field "is" ["not"] "null" | field op constant
class Parser {
public:
    Parser(const std::string& expression, const FieldList& fields, bool caseInsensitive)
        : expr_(expression), fields_(fields), caseInsensitive_(caseInsensitive) {}

    NodePtr parse() {
        tokenize();
        if (peek().kind == Tok::End)
            return nullptr;  // an empty filter lets every record through
        NodePtr root = parseOr();
        if (peek().kind != Tok::End)
            fail(peek(), "a feltétel itt már véget kellene érjen");
        return root;
    }

private:
    // Nesting guard: the evaluator recurses as deep as the parentheses go.
    static constexpr int maxDepth = 200;

    [[noreturn]] void failAt(size_t bytePos, const std::string& detail) const {
        size_t chars = 1;  // 1-based character position, counting UTF-8 lead bytes
        for (size_t i = 0; i < bytePos && i < expr_.size(); ++i)
            if ((static_cast<unsigned char>(expr_[i]) & 0xC0) != 0x80)
                ++chars;
        throw DbError(DbError::Code::BadExpression,
                      "Hibás szűrőfeltétel: \"" + expr_ + "\" (" + std::to_string(chars) + ". karakter: " + detail + ")");
    }
    [[noreturn]] void fail(const Token& t, const std::string& detail) const { failAt(t.pos, detail); }

    void tokenize();
    void readQuoted(size_t& i);

    const Token& peek() const { return tokens_[at_]; }
    const Token& next() { return tokens_[at_ < tokens_.size() - 1 ? at_++ : at_]; }
    bool isKeyword(const Token& t, std::string_view word) const {
        return t.kind == Tok::Name && equalsIgnoreCase(t.text, word);
    }
    bool acceptKeyword(std::string_view word) {
        if (!isKeyword(peek(), word))
            return false;
        next();
        return true;
    }

    NodePtr parseOr();
    NodePtr parseAnd();
    NodePtr parsePrimary();
    NodePtr parseComparison();
    NodePtr makeComparison(int field, Op op, const Token& constant) const;

    const std::string& expr_;
    const FieldList& fields_;
    bool caseInsensitive_;
    std::vector<Token> tokens_;
    size_t at_ = 0;
    int depth_ = 0;
};

void Parser::readQuoted(size_t& i) {
    const char quote = expr_[i];
    const size_t start = i++;
    std::string text;
    for (;;) {
        if (i >= expr_.size())
            failAt(start, "lezáratlan szöveges érték");
        if (expr_[i] == quote) {
            if (i + 1 < expr_.size() && expr_[i + 1] == quote) {  // doubled quote stands for itself
                text += quote;
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        text += expr_[i++];
    }
    tokens_.push_back({Tok::Text, std::move(text), start});
}

void Parser::tokenize() {
    size_t i = 0;
    while (i < expr_.size()) {
        const char c = expr_[i];
        const size_t start = i;
        auto nextIs = [&](char n) { return i + 1 < expr_.size() && expr_[i + 1] == n; };
        if (isSpace(c)) {
            ++i;
        } else if (c == '(' || c == ')') {
            tokens_.push_back({c == '(' ? Tok::LParen : Tok::RParen, std::string(1, c), start});
            ++i;
        } else if (c == '\'' || c == '"') {
            readQuoted(i);
        } else if (c == '=' || c == '<' || c == '>') {
            size_t len = (c == '<' && (nextIs('>') || nextIs('='))) || (c == '>' && nextIs('=')) ? 2 : 1;
            tokens_.push_back({Tok::Op, expr_.substr(i, len), start});
            i += len;
        } else if (isDigit(c) || ((c == '-' || c == '+' || c == '.') && i + 1 < expr_.size()
                                  && (isDigit(expr_[i + 1]) || expr_[i + 1] == '.'))) {
            ++i;
            while (i < expr_.size() && (isDigit(expr_[i]) || expr_[i] == '.'))
                ++i;
            tokens_.push_back({Tok::Number, expr_.substr(start, i - start), start});
        } else if (isNameChar(c)) {
            while (i < expr_.size() && isNameChar(expr_[i]))
                ++i;
            tokens_.push_back({Tok::Name, expr_.substr(start, i - start), start});
        } else {
            failAt(start, std::string("ismeretlen jel: ") + c);
        }
    }
    tokens_.push_back({Tok::End, std::string(), expr_.size()});
}

NodePtr Parser::parseOr() {
    NodePtr left = parseAnd();
    while (acceptKeyword("or"))
        left = std::make_unique<OrNode>(std::move(left), parseAnd());
    return left;
}

NodePtr Parser::parseAnd() {
    NodePtr left = parsePrimary();
    while (acceptKeyword("and"))
        left = std::make_unique<AndNode>(std::move(left), parsePrimary());
    return left;
}

NodePtr Parser::parsePrimary() {
    if (peek().kind != Tok::LParen)
        return parseComparison();
    if (++depth_ > maxDepth)
        fail(peek(), "túl sok egymásba ágyazott zárójel");
    next();
    NodePtr inner = parseOr();
    if (peek().kind != Tok::RParen)
        fail(peek(), "hiányzik a záró zárójel");
    next();
    --depth_;
    return inner;
}

NodePtr Parser::parseComparison() {
    const Token& name = next();
    const bool keyword = isKeyword(name, "and") || isKeyword(name, "or") || isKeyword(name, "is")
                         || isKeyword(name, "not") || isKeyword(name, "null");
    const int field = name.kind == Tok::Name ? findField(fields_, name.text) : -1;
    if (field < 0 && (name.kind != Tok::Name || keyword))
        fail(name, "mezőnév hiányzik");
    if (field < 0)
        throw DbError(DbError::Code::BadExpression,
                      "A szűrőfeltételben szereplő " + name.text + " mező nem létezik: \"" + expr_ + "\"");

    if (acceptKeyword("is")) {
        const bool negated = acceptKeyword("not");
        if (!acceptKeyword("null"))
            fail(peek(), negated ? "az \"is not\" után null következik" : "az \"is\" után null vagy not null következik");
        return std::make_unique<BlankTest>(field, !negated);
    }

    const Token& opTok = next();
    if (opTok.kind != Tok::Op)
        fail(opTok, "összehasonlító jel hiányzik");
    const Op op = opTok.text == "=" ? Op::Eq : opTok.text == "<>" ? Op::Ne : opTok.text == "<" ? Op::Lt
                : opTok.text == ">" ? Op::Gt : opTok.text == "<=" ? Op::Le : Op::Ge;

    const Token& constant = next();
    const bool blank = isKeyword(constant, "null") || (constant.kind == Tok::Text && trim(constant.text).empty());
    if (blank) {
        // An empty text stands for a blank field, the same as null.
        if (op != Op::Eq && op != Op::Ne)
            fail(constant, "üres értékkel csak = vagy <> hasonlítható össze");
        return std::make_unique<BlankTest>(field, op == Op::Eq);
    }
    if (constant.kind != Tok::Text && constant.kind != Tok::Number)
        fail(constant, "az összehasonlító jel után érték következik");
    return makeComparison(field, op, constant);
}

NodePtr Parser::makeComparison(int field, Op op, const Token& constant) const {
    switch (fields_[field].type) {
    case 'D': {
        auto date = normalizeDate(constant.text);
        if (!date)
            fail(constant, "érvénytelen dátum: " + constant.text);
        return std::make_unique<DateComparison>(field, op, std::move(*date));
    }
    case 'N':
    case 'F': {
        auto number = Decimal::parse(trim(constant.text));
        if (!number)
            fail(constant, "érvénytelen szám: " + constant.text);
        return std::make_unique<NumberComparison>(field, op, *number);
    }
    case 'L': {
        auto b = parseLogical(constant.text);
        if (!b)
            fail(constant, "érvénytelen logikai érték: " + constant.text);
        return std::make_unique<LogicalComparison>(field, op, *b);
    }
    default:
        return std::make_unique<TextComparison>(field, op, constant.text, caseInsensitive_);
    }
}

} // namespace

Filter::Filter() = default;
Filter::~Filter() = default;
Filter::Filter(Filter&&) noexcept = default;
Filter& Filter::operator=(Filter&&) noexcept = default;

Filter Filter::compile(const std::string& expression, const FieldList& fields, bool caseInsensitive) {
    Filter f;
    f.text_ = expression;
    f.root_ = Parser(expression, fields, caseInsensitive).parse();
    return f;
}

bool Filter::matches(const RecordSource& record) const {
    return !root_ || root_->eval(record);
}

} // namespace velmora::db
