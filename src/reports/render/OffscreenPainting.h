#pragma once
// Painting reports in a program without windows (velmora-batch): the fonts
// and the PDF writer need a Qt GUI application, which this makes on the
// offscreen platform for as long as it lives, unless one is running.
#include <memory>

class QGuiApplication;

namespace velmora::reports {

class OffscreenPainting {
public:
    OffscreenPainting();
    ~OffscreenPainting();
    OffscreenPainting(const OffscreenPainting&) = delete;
    OffscreenPainting& operator=(const OffscreenPainting&) = delete;

private:
    int argc_ = 1;
    char* argv_[2];
    std::unique_ptr<QGuiApplication> app_;
};

} // namespace velmora::reports
