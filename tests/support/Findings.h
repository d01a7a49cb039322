#pragma once
// What a check found, as the user reads it: the texts of its refusals and
// warnings in order (questions left out), for the tables of the tests.
#include "app/Finding.h"

#include <string>
#include <vector>

namespace velmora::test {

inline std::vector<std::string> findingTexts(const app::Findings& findings) {
    std::vector<std::string> texts;
    for (const app::Finding& f : findings)
        if (f.severity != app::Severity::Question) texts.push_back(f.text);
    return texts;
}

} // namespace velmora::test
