#include "widgets/GridSaving.h"

#include "widgets/GridTable.h"
#include "widgets/Navigator.h"
#include "widgets/QtText.h"
#include "widgets/TableSave.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

namespace velmora::ui {

namespace {
GridSaving* living = nullptr;
} // namespace

GridSaving::GridSaving(const app::Session& session, app::Dialogs& dialogs)
    : session_(session), dialogs_(dialogs), before_(living) {
    living = this;
}

GridSaving::~GridSaving() { living = before_; }

GridSaving* GridSaving::current() { return living; }

std::string GridSaving::save(const reports::DataTable& table, reports::TableFormat format) const {
    return saveTableInLista(table, format, session_, dialogs_);
}

std::array<QAction*, 2> offerGridSaving(QTableView* grid, BrowseModel* model, Navigator* navigator) {
    std::array<QAction*, 2> actions{};
    const reports::TableFormat formats[] = {reports::TableFormat::Xlsx, reports::TableFormat::Csv};
    const char* names[] = {"MentesExcel", "MentesCsv"};
    for (int i = 0; i < 2; ++i) {
        auto* action = new QAction(QString::fromUtf8(saveCommandText(formats[i])), grid);
        action->setObjectName(QString::fromLatin1(names[i]));
        QObject::connect(action, &QAction::triggered, grid, [grid, model, format = formats[i]] {
            if (GridSaving* saving = GridSaving::current())
                saving->save(gridTable(*grid, *model, ss(grid->window()->windowTitle())), format);
        });
        actions[size_t(i)] = action;
    }
    auto* menu = new QMenu(navigator);
    menu->addActions({actions[0], actions[1]});
    // Off while no one says where grids save (a window outside the program).
    QObject::connect(menu, &QMenu::aboutToShow, menu, [actions] {
        for (QAction* a : actions) a->setEnabled(GridSaving::current() != nullptr);
    });
    auto* button = new QToolButton(navigator);
    button->setObjectName(QStringLiteral("nbMentes"));
    button->setIcon(navigator->style()->standardIcon(QStyle::SP_DialogSaveButton));
    button->setToolTip(QString::fromUtf8("Mentés táblázatkezelőbe (Excel, CSV)"));
    button->setFocusPolicy(Qt::NoFocus);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setMenu(menu);
    navigator->addTool(button);
    if (grid->contextMenuPolicy() == Qt::DefaultContextMenu) {
        grid->setContextMenuPolicy(Qt::ActionsContextMenu);
        grid->addActions({actions[0], actions[1]});
    }
    return actions;
}

} // namespace velmora::ui
