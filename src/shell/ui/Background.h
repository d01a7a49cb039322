#pragma once
// The picture behind the main window's client area, drawn to its size so it
// always fills it.
#include <QWidget>

namespace velmora::ui {

class Background : public QWidget {
    Q_OBJECT
public:
    explicit Background(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmora::ui
