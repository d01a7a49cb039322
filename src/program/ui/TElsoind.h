#pragma once
// The first-start window: the installation has no data yet, so instead of
// the start-up (which would only report the fund's tables as missing) the
// new provider is told where the data come from and can bring them in:
// the fund's seven tables are taken from a folder, or a backup archive made
// on another machine is restored through the same command as Szervíz →
// Visszatöltés. "Mégsem" or the close box ends the
// program without touching anything.
#include <QDialog>

#include "widgets/CommandGuard.h"

#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace velmora::ui {

class TElsoind : public QDialog {
    Q_OBJECT
public:
    // `restore` runs "Visszatöltés" as its menu command does; `demoTool` is
    // the demo builder installed beside the program, empty when there is none.
    TElsoind(QWidget* parent, std::string dataDir, const CommandGuard& guard, std::function<void()> restore,
             std::string demoTool);

    // Shows the window; true once the data directory holds the fund's
    // tables, false when it was left with "Mégsem" or its close box.
    bool run();

    QLabel* Szoveg;          // what a first start is and where the data come from
    QPushButton* Alapok;     // "A RUV állományainak beolvasása mappából..."
    QPushButton* Visszatolt; // "Visszatöltés mentésből (Zaras.arj)..."
    QLabel* Bemutato;        // how the demo installation is reached, or that it is not installed
    QPushButton* Megsem;

private:
    void afterRestore();

    std::string dataDir_;
};

// The text on the demo installation: how it is made with `demoTool` from
// `programFile`, or, with no tool, that this installation has no demo.
std::string demoText(const std::string& demoTool, const std::string& programFile);

} // namespace velmora::ui
