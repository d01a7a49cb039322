#pragma once
// The BNO choose window of the sheet entry: the caller reads bnkod and
// bnnev after it closes; an empty bnkod means nothing was chosen.
#include "widgets/ChooseWindow.h"

#include <string>

namespace velmora::db { class Table; }

namespace velmora::ui {

class Tbnoval : public ChooseWindow {
    Q_OBJECT
public:
    Tbnoval(QWidget* parent, db::Table& bnotorzs, const CommandGuard& guard);

    // The sheet entry window, which the window opens over; without one it
    // keeps its position.
    void setSheetWindow(QWidget* window) { sheetWindow_ = window; }

    BrowseFrame* BNOkep1;

    std::string bnkod;  // KOD10 of the chosen code
    std::string bnnev;  // its NEV

protected:
    void clearResult() override;
    void takeRow() override;
    void place() override;

private:
    QWidget* sheetWindow_ = nullptr;
};

} // namespace velmora::ui
