#pragma once
// The main window's status bar: three fixed panels. Panel 0 shows hints and
// the running command, panel 1 the provider line of the contract, panel 2
// (right-aligned) today's date.
#include <QStatusBar>

#include <array>

class QLabel;

namespace velmora::ui {

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    void setText(int panel, const QString& text);
    QString text(int panel) const;
    QLabel* panel(int panel) const { return panels_.at(static_cast<size_t>(panel)); }

private:
    std::array<QLabel*, 3> panels_{};
};

} // namespace velmora::ui
