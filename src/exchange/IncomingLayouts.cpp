// The fund's files and the fields the program reads from them.
#include "exchange/IncomingLayouts.h"

#include <filesystem>
#include <stdexcept>

namespace velmora::exchange {
namespace {

using R = Reading;

std::vector<IncomingField> nurses() {
    std::vector<IncomingField> f;
    for (int i = 1; i <= 8; ++i) f.push_back({"APTAJ" + std::to_string(i), R::Text});
    return f;
}

std::vector<IncomingLayout> makeLayouts() {
    std::vector<IncomingField> fullHeaders = {
        {"KABKOD", R::Text},   {"FINKOD", R::Text},   {"SORSZAM", R::Integer}, {"IDOSZAK", R::Period},
        {"RESZ", R::Text},     {"TAJ", R::Integer},   {"KOZIGKOD", R::Text},   {"TERPOT", R::Integer},
        {"ORVKODE", R::Integer}, {"ORVTIP", R::Integer}, {"ORVKODJ", R::Integer}, {"ELREND", R::Date},
        {"SZAKVET", R::Date},  {"GYAK", R::Text},     {"ELVIZDB", R::Integer}, {"ELSZVIZ", R::Integer},
        {"ELSZAM", R::Integer}, {"LEZDAT", R::Date},  {"AZTIP", R::Text},      {"TERKAT", R::Text},
        {"ALLAMP", R::Text}};
    for (IncomingField& f : nurses()) fullHeaders.push_back(f);
    fullHeaders.push_back({"ONAPDB", R::Integer});

    return {
        {Incoming::HEa, "HEa", true, {}},
        {Incoming::HEb, "HEb", true,
         {{"KABKOD", R::Text}, {"SORSZAM", R::Integer}, {"IDOSZAK", R::Period}, {"RESZ", R::Text},
          {"APDATUM", R::Date}, {"ELSZIDO", R::Text}}},
        {Incoming::HEc, "HEc", true, {}},
        {Incoming::HRuv, "HRuv", true, {{"IDOSZAK", R::Text}, {"ALAPDIJ", R::Number}, {"ELOLEG", R::Number}}},
        {Incoming::HAs, "HAs", true, {}},
        {Incoming::HAr, "HAr", true, {}},
        {Incoming::HAd, "HAd", true, {}},
        {Incoming::HAt, "HAt", true, {}},
        {Incoming::HPa, "HPa", false, {}},
        {Incoming::HAa, "HAa", true, fullHeaders},
        {Incoming::HAb, "HAb", true,
         {{"KABKOD", R::Text}, {"FINKOD", R::Text}, {"SORSZAM", R::Integer}, {"IDOSZAK", R::Period},
          {"RESZ", R::Text}, {"TEVKOD", R::Text}, {"APDATUM", R::Date}, {"APBTAJ", R::Text},
          {"ELSZIDO", R::Text}}},
        {Incoming::HAc, "HAc", true,
         {{"SORSZAM", R::Integer}, {"IDOSZAK", R::Period}, {"RESZ", R::Text}, {"BNOTIP", R::Integer},
          {"BNOKOD", R::Text}}},
    };
}

bool readable(Reading reading, const db::FieldDef& f) {
    switch (reading) {
    case R::Text: return f.type == 'C';
    case R::Period: return f.type == 'C' && f.width >= 6;
    case R::Integer: return f.type == 'C' || ((f.type == 'N' || f.type == 'F') && f.decimals == 0);
    case R::Number: return f.type == 'N' || f.type == 'F';
    case R::Date: return f.type == 'D';
    }
    return false;
}

} // namespace

const IncomingLayout& incomingLayout(Incoming id) {
    static const std::vector<IncomingLayout> all = makeLayouts();
    for (const IncomingLayout& l : all)
        if (l.id == id) return l;
    throw std::logic_error("unknown incoming layout");
}

std::string incomingFileName(const IncomingLayout& layout, const std::string& intkod) {
    return layout.prefix + intkod + ".dbf";
}

std::string fullDataSetArchiveName(const std::string& intkod) { return "Telj" + intkod + ".arj"; }

std::optional<std::string> checkIncomingFields(const IncomingLayout& layout, const db::FieldList& fields,
                                               const std::string& fileName) {
    std::string missing, unreadable;
    for (const IncomingField& f : layout.fields) {
        const int i = db::findField(fields, f.name);
        std::string& list = i < 0 ? missing : unreadable;
        if (i >= 0 && readable(f.reading, fields[i])) continue;
        list += (list.empty() ? "" : ", ") + f.name;
    }
    if (missing.empty() && unreadable.empty()) return std::nullopt;
    std::string text = "A(z) " + fileName + " állomány nem a várt szerkezetű:";
    if (!missing.empty()) text += " hiányzó mező: " + missing + ";";
    if (!unreadable.empty()) text += " nem megfelelő típusú mező: " + unreadable + ";";
    text.back() = '.';
    return text;
}

std::optional<std::string> checkIncomingFields(const IncomingLayout& layout, const db::Table& opened) {
    return checkIncomingFields(layout, opened.fields(), std::filesystem::path(opened.path()).filename().string());
}

std::optional<std::string> periodFromDigits(const std::string& yyyymm) {
    if (yyyymm.size() != 6) return std::nullopt;
    for (char c : yyyymm)
        if (c < '0' || c > '9') return std::nullopt;
    const int month = std::stoi(yyyymm.substr(4, 2));
    if (month < 1 || month > 12) return std::nullopt;
    return yyyymm.substr(0, 4) + "." + yyyymm.substr(4, 2);
}

} // namespace velmora::exchange
