#include "program/ui/TElsoind.h"

#include "app/Dialogs.h"
#include "app/Version.h"
#include "program/FirstStart.h"
#include "widgets/Buttons.h"
#include "widgets/Help.h"
#include "widgets/QtText.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

std::string demoText(const std::string& demoTool, const std::string& programFile) {
    if (demoTool.empty())
        return "Bemutató telepítés nem tartozik ehhez a telepítéshez, így a program kipróbálásához "
               "nincs mintaadat.";
    return "A program kipróbálásához bemutató telepítés készíthető:\n    " + demoTool +
           " --out ~/Velmora-demo --program " + programFile +
           "\nmajd a program azon indítható:\n    VELMORA_HOME=~/Velmora-demo velmora";
}

TElsoind::TElsoind(QWidget* parent, std::string dataDir, const CommandGuard& guard, std::function<void()> restore,
                   std::string demoTool)
    : QDialog(parent), dataDir_(std::move(dataDir)) {
    setObjectName(QStringLiteral("Elsoind"));
    setWindowTitle(QString::fromUtf8("%1 – első indítás").arg(app::kProgramTitle));
    setModal(true);

    Szoveg = new QLabel(this);
    Szoveg->setObjectName(QStringLiteral("Szoveg"));
    Szoveg->setWordWrap(true);
    Szoveg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Szoveg->setText(qs("A program még nem talál adatokat, mert az adatkönyvtárban\n    " + dataDir_ +
                       "\nnincsenek meg a RUV-től kapott szerződéses állományok.\n\n"
                       "Új szolgáltatóként kérje a RUV-től a szerződés állományait (PART, HSZERZ, HSZOLGSZ, "
                       "HTERULET, HTHELY), valamint a TELEPUL és a BNOTORZS táblát, és olvassa be őket abból a "
                       "mappából, ahová kapta (vagy másolja őket a fenti könyvtárba, és indítsa újra a programot).\n\n"
                       "Ha másik gépről költözik, töltse vissza az ott készült mentést (Zaras.arj)."));

    Alapok = NamedButton(this, "Alapok", "A RUV állományainak beolvasása mappából...",
                         "A RUV-től kapott hét tábla átvétele egy mappából");
    Visszatolt = NamedButton(this, "Visszatolt", "Visszatöltés mentésből (Zaras.arj)...",
                             "Egy másik gépen készült mentés visszatöltése");
    Bemutato = new QLabel(qs(demoText(demoTool, ss(QCoreApplication::applicationFilePath()))), this);
    Bemutato->setObjectName(QStringLiteral("Bemutato"));
    Bemutato->setWordWrap(true);
    Bemutato->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Megsem = NamedButton(this, "Megsem", "Mégsem", "Kilépés a programból");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Alapok);
    buttons->addWidget(Visszatolt);
    buttons->addStretch(1);
    buttons->addWidget(Megsem);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Szoveg);
    layout->addWidget(Bemutato);
    layout->addLayout(buttons);

    guard.onClick(Visszatolt, this, [this, restore] {
        restore();
        afterRestore();
    });
    guard.onClick(Alapok, this, [this, &dialogs = guard.dialogs()] {
        const std::optional<std::string> folder =
            dialogs.chooseDirectory("A RUV-től kapott állományok mappája", QDir::homePath().toStdString());
        if (!folder) return;
        program::takeFundTables(*folder, dataDir_);
        afterRestore();
    });
    connect(Megsem, &QPushButton::clicked, this, &QDialog::reject);
    InstallHelpKey(this);
    resize(sizeHint().expandedTo(QSize(560, 0)));
}

bool TElsoind::run() {
    Visszatolt->setFocus(Qt::OtherFocusReason);
    return exec() == QDialog::Accepted;
}

// A restore that was refused or left with "Mégsem" keeps the window open
// for another try; one that brought the tables back lets the start go on.
void TElsoind::afterRestore() {
    if (!program::isFirstStart(dataDir_)) accept();
}

} // namespace velmora::ui
