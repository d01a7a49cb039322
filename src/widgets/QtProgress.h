#pragma once
// Progress shown as a modal progress dialog titled with the work's name:
// the step under way above a bar of the steps done. It appears only when
// the work takes a moment, and offers "Mégsem" only for work that can stop
// between two steps without harm.
#include "app/Progress.h"

#include <QPointer>

#include <memory>

class QProgressDialog;
class QWidget;

namespace velmora::ui {

class QtProgress : public app::Progress {
public:
    explicit QtProgress(QWidget* parent = nullptr);
    ~QtProgress() override;

    // How long work runs before the dialog shows.
    static constexpr int kShowAfterMs = 400;

    void begin(const std::string& title, int total, bool cancellable) override;
    void step(const std::string& text, int done) override;
    bool cancelled() const override;
    void end() override;

    // The dialog while work runs, else null.
    QProgressDialog* dialog() const { return dialog_.get(); }

private:
    QPointer<QWidget> parent_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cancellable_ = false;
};

} // namespace velmora::ui
