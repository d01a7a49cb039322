#pragma once
// The four-button navigator of a grid: first, prior, next and last row
// of a shared table. The buttons follow the table: first and prior are off
// on the first row, next and last on the last, all of them when the table
// is empty or closed.
#include <QWidget>

class QHBoxLayout;
class QToolButton;

namespace velmora::db { class Table; }

namespace velmora::ui {

class Navigator : public QWidget {
    Q_OBJECT
public:
    explicit Navigator(db::Table& table, QWidget* parent = nullptr);
    ~Navigator() override;

    QToolButton* button(int which) const { return buttons_[which]; }
    // Another tool beside the four buttons (the grid's saving).
    void addTool(QWidget* tool);
    enum { First, Prior, Next, Last };

private:
    void follow();

    db::Table& table_;
    QHBoxLayout* layout_;
    QToolButton* buttons_[4];
    int listener_ = 0;
};

} // namespace velmora::ui
