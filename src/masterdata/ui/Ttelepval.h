#pragma once
// The settlement choose window: the patient window and the sheet entry open
// it to fill a settlement code. The caller sets honnan before opening it and
// reads vkod and vnev afterwards; an empty vkod means nothing was chosen.
#include "widgets/ChooseWindow.h"

#include <string>

namespace velmora::db { class Table; }

namespace velmora::ui {

class Ttelepval : public ChooseWindow {
    Q_OBJECT
public:
    Ttelepval(QWidget* parent, db::Table& telepul, const CommandGuard& guard);

    // The patient window, which the window opens beside when honnan is "B".
    void setPatientWindow(QWidget* window) { patientWindow_ = window; }

    BrowseFrame* Telepkep1;

    std::string vkod;    // KOZIGKOD of the chosen settlement
    std::string vnev;    // its HELYNEV
    std::string honnan;  // "B" from the patient window, "L" from the sheet entry

protected:
    void clearResult() override;
    void takeRow() override;
    void place() override;

private:
    QWidget* patientWindow_ = nullptr;
};

} // namespace velmora::ui
