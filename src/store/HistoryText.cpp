#include "store/HistoryText.h"

namespace velmora::store::history {
namespace {

void escapeInto(std::string& out, const std::string& value) {
    for (char c : value) {
        if (c == '\\' || c == ';' || c == '=' || c == '>') out += '\\';
        out += c;
    }
}

// Splits at the unescaped separator; escapes stay in the pieces.
std::vector<std::string> splitUnescaped(const std::string& s, char separator, size_t maxPieces) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            pieces.back() += s.substr(i, 2);
            ++i;
        } else if (s[i] == separator && pieces.size() < maxPieces) {
            pieces.emplace_back();
        } else {
            pieces.back() += s[i];
        }
    }
    return pieces;
}

std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) ++i;
        out += s[i];
    }
    return out;
}

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

} // namespace

std::string encode(const ChangeText& text) {
    std::string out;
    for (const FieldChange& c : text.changes) {
        escapeInto(out, c.field);
        out += '=';
        escapeInto(out, c.before);
        out += '>';
        escapeInto(out, c.after);
        out += ';';
    }
    if (!text.note.empty()) {
        out += '!';
        escapeInto(out, text.note);
    }
    // A blank at the very end would not survive the table.
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

ChangeText decode(const std::string& text) {
    ChangeText out;
    for (const std::string& item : splitUnescaped(text, ';', SIZE_MAX)) {
        if (item.empty()) continue;
        if (item[0] == '!') {
            out.note = unescape(item.substr(1));
            continue;
        }
        const std::vector<std::string> nameRest = splitUnescaped(item, '=', 2);
        const std::vector<std::string> values =
            splitUnescaped(nameRest.size() > 1 ? nameRest[1] : std::string(), '>', 2);
        out.changes.push_back({unescape(nameRest[0]), unescape(values[0]),
                               values.size() > 1 ? unescape(values[1]) : std::string()});
    }
    return out;
}

std::vector<std::string> splitText(const std::string& text, size_t width) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < text.size()) {
        // The end after `width` characters, or the text's end.
        size_t end = start, chars = 0;
        while (end < text.size() && chars < width) {
            ++end;
            while (end < text.size() && continuationByte(text[end])) ++end;
            ++chars;
        }
        // Back off so that the piece does not end in a blank.
        size_t cut = end;
        while (cut > start && text[cut - 1] == ' ') --cut;
        if (cut == start) cut = end;  // only blanks: cannot happen in an encoded text's middle
        pieces.push_back(text.substr(start, cut - start));
        start = cut;
    }
    return pieces;
}

} // namespace velmora::store::history
