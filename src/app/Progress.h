#pragma once
// How long work tells the user how far it has got: a title, a count of
// steps, the text of the step under way and, where stopping halfway is
// safe, a way to cancel. The program shows a progress dialog; a test
// records the steps; a caller that shows nothing passes SilentProgress.
#include <string>

namespace velmora::app {

class Progress {
public:
    virtual ~Progress() = default;

    // Work of `total` steps begins. `cancellable` offers the user a way to
    // stop it; only work that can stop between two steps without harm asks
    // for it.
    virtual void begin(const std::string& title, int total, bool cancellable) = 0;
    // The step described by `text` is under way; `done` steps are finished.
    virtual void step(const std::string& text, int done) = 0;
    // The user asked to stop (never for work begun as not cancellable).
    virtual bool cancelled() const = 0;
    // The work is over, finished or not.
    virtual void end() = 0;
};

// Shows nothing.
class SilentProgress final : public Progress {
public:
    void begin(const std::string&, int, bool) override {}
    void step(const std::string&, int) override {}
    bool cancelled() const override { return false; }
    void end() override {}
};

// begin() now, end() when the scope is left, also by an exception.
class ProgressScope {
public:
    ProgressScope(Progress& progress, const std::string& title, int total, bool cancellable) : progress_(progress) {
        progress_.begin(title, total, cancellable);
    }
    ~ProgressScope() { progress_.end(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void step(const std::string& text, int done) { progress_.step(text, done); }
    bool cancelled() const { return progress_.cancelled(); }

private:
    Progress& progress_;
};

} // namespace velmora::app
