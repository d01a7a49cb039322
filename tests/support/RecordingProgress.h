#pragma once
// Progress for tests: every begin, step and end is logged in order, and the
// user's "Mégsem" can be scripted to come after a given number of steps.
#include "app/Progress.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

class RecordingProgress : public app::Progress {
public:
    struct Step {
        std::string text;
        int done;
        bool operator==(const Step&) const = default;
    };

    // cancelled() turns true once this many steps have been reported, but
    // only for work begun as cancellable.
    void cancelAfter(int steps) { cancelAfter_ = steps; }

    void begin(const std::string& title, int total, bool cancellable) override {
        titles.push_back(title);
        this->total = total;
        this->cancellable = cancellable;
        ++begun;
    }
    void step(const std::string& text, int done) override { steps.push_back({text, done}); }
    bool cancelled() const override {
        return cancellable && cancelAfter_ && static_cast<int>(steps.size()) >= *cancelAfter_;
    }
    void end() override { ++ended; }

    std::vector<std::string> titles;
    std::vector<Step> steps;
    int total = 0;
    bool cancellable = false;
    int begun = 0, ended = 0;

private:
    std::optional<int> cancelAfter_;
};

} // namespace velmora::test
