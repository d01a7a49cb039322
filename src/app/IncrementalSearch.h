#pragma once
// The search text of a browse grid: typed characters collect into it, and
// after every character the grid's table goes to the first row (in its
// current order) whose active column begins with the text, in any case.
//
// Key codes are the keyboard's virtual key codes (Backspace 8, space 32,
// digits and letters from 48 up); characters are code points.
#include <string>
#include <utility>
#include <vector>

namespace velmora::db { class Table; }

namespace velmora::app {

namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Capital = 20, Escape = 27,
              Space = 32, Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40,
              Insert = 45, Delete = 46, F1 = 112;
}

struct SearchRules {
    // The space is collected like any character; when false (sheet grid) the
    // space clears the text, on key down and as a character.
    bool spaceIsCharacter = true;
    // The key-down rule runs again when the key is released.
    bool keyUpRule = true;
    // Longest text per column. Empty: in columns 0 and 1 the length of the
    // current row's value, elsewhere 0 (nothing is collected).
    std::vector<std::pair<int, int>> fixedLimits;
};

class IncrementalSearch {
public:
    explicit IncrementalSearch(SearchRules rules = {}) : rules_(std::move(rules)) {}

    const SearchRules& rules() const { return rules_; }
    const std::string& text() const { return text_; }
    std::string shown() const;  // the text as displayed: trimmed
    void clear() { text_.clear(); }

    void keyDown(int key);
    void keyUp(int key);  // the key-down rule, when the rules say so
    // currentValue is the current row's value of the active column as text.
    void keyPress(char32_t ch, int column, const std::string& currentValue);

    // Longest text collected in the column, for the current row's value.
    int limit(int column, const std::string& currentValue) const;
    // Goes to the first row whose field begins with the text (any case); an
    // empty text leaves the cursor. True when a row was found.
    bool locate(db::Table& table, const std::string& field) const;

    // Characters (code points) of a UTF-8 text.
    static int length(const std::string& utf8);

private:
    void popLast();

    SearchRules rules_;
    std::string text_;
};

} // namespace velmora::app
