#pragma once
// A browse frame: the search line, the grid and the navigator over one
// shared table, configured by a FrameSetup. Entering the frame (the focus
// comes in from another control of its window, or the window is opened)
// sets the entry order and puts back the position stored when the user
// last left it; leaving the frame (the focus goes to another control of the
// window, or the window closes) stores the position. Message boxes over the
// window neither enter nor leave it.
#include <QWidget>

#include "app/FramePosition.h"
#include "widgets/FrameSetup.h"

#include <array>
#include <functional>
#include <string>

class QAction;
class QTableView;

namespace velmora::db { class Table; }

namespace velmora::ui {

class Browse;
class Navigator;

class BrowseFrame : public QWidget {
    Q_OBJECT
public:
    // periodShown gives the billing period the main window shows; only the
    // sheet frame uses it.
    BrowseFrame(FrameSetup setup, db::Table& table, QWidget* parent = nullptr,
                std::function<std::string()> periodShown = {});
    ~BrowseFrame() override;

    const FrameSetup& setup() const { return setup_; }
    Browse* browse() const { return browse_; }
    QTableView* grid() const;
    // The width that shows every column of the grid without scrolling.
    int fullWidth() const;
    Navigator* navigator() const { return navigator_; }
    // "Mentés Excel táblázatba", "Mentés CSV állományba": for a window
    // whose grid has a context menu of its own.
    const std::array<QAction*, 2>& saveActions() const { return saveActions_; }
    db::Table& table() const { return table_; }

    void FrameEnter();
    void FrameExit();
    // Stores the current position; the edit windows call it after a delete.
    void Bookmark();
    const app::StoredPosition& stored() const { return stored_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusMoved(QWidget* now);
    void paintEntryTitles();

    FrameSetup setup_;
    db::Table& table_;
    std::function<std::string()> periodShown_;
    Browse* browse_;
    Navigator* navigator_;
    std::array<QAction*, 2> saveActions_;
    app::StoredPosition stored_;
    bool inside_ = false;
    QWidget* watchedWindow_ = nullptr;
};

} // namespace velmora::ui
