#include "app/IncrementalSearch.h"

#include "db/Table.h"

namespace velmora::app {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

} // namespace

int IncrementalSearch::length(const std::string& utf8) {
    int n = 0;
    for (char c : utf8) n += !continuation(c);
    return n;
}

std::string IncrementalSearch::shown() const {
    const auto b = text_.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return text_.substr(b, text_.find_last_not_of(' ') - b + 1);
}

void IncrementalSearch::popLast() {
    while (!text_.empty() && continuation(text_.back())) text_.pop_back();
    if (!text_.empty()) text_.pop_back();
}

void IncrementalSearch::keyDown(int key) {
    if (key >= 48 || (key == vk::Space && rules_.spaceIsCharacter)) return;
    if (key == vk::Back)
        popLast();
    else
        text_.clear();
}

void IncrementalSearch::keyUp(int key) {
    if (rules_.keyUpRule) keyDown(key);
}

int IncrementalSearch::limit(int column, const std::string& currentValue) const {
    if (!rules_.fixedLimits.empty()) {
        for (const auto& [col, limit] : rules_.fixedLimits)
            if (col == column) return limit;
        return 0;
    }
    if (column != 0 && column != 1) return 0;
    const auto end = currentValue.find_last_not_of(' ');
    return end == std::string::npos ? 0 : length(currentValue.substr(0, end + 1));
}

void IncrementalSearch::keyPress(char32_t ch, int column, const std::string& currentValue) {
    const char32_t first = rules_.spaceIsCharacter ? 32 : 33;
    if (ch == vk::Back) return;  // the key-down rule already shortened the text
    if (ch < first) {
        text_.clear();
        return;
    }
    if (length(text_) >= limit(column, currentValue)) return;
    appendUtf8(text_, ch >= U'a' && ch <= U'z' ? ch - 32 : ch);
}

bool IncrementalSearch::locate(db::Table& table, const std::string& field) const {
    return table.locate(field, db::Value(text_), {.caseInsensitive = true, .partialKey = true});
}

} // namespace velmora::app
