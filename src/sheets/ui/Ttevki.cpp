#include "sheets/ui/Ttevki.h"

#include "sheets/Sheet.h"
#include "widgets/Buttons.h"
#include "widgets/Hint.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace velmora::ui {

Ttevki::Ttevki(QWidget* parent, const CommandGuard& guard)
    : QDialog(parent), LB1(new QListWidget(this)),
      BB2(NamedButton(this, "BB2", "Választás", "Szolgáltató kiválasztása")),
      BB1(NamedButton(this, "BB1", "Kilépés", "Visszalépés a főmenübe")) {
    setObjectName(QStringLiteral("Ttevki"));
    setWindowTitle(QString::fromUtf8("Tevékenységek kiválasztása"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    LB1->setObjectName(QStringLiteral("LB1"));
    LB1->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const std::string& line : sheets::ActivityNames()) LB1->addItem(qs(line));
    // Every line in view without a scroll bar.
    LB1->setFixedHeight(LB1->sizeHintForRow(0) * LB1->count() + 2 * LB1->frameWidth());
    LB1->setMinimumWidth(LB1->sizeHintForColumn(0) + 2 * LB1->frameWidth() + 4);

    guard.onClick(BB2, this, [this] { BB2Click(); });
    connect(BB1, &QPushButton::clicked, this, &Ttevki::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BB2);
    buttons->addWidget(BB1);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(LB1, 1);
    layout->addLayout(buttons);
    const QSize hint = sizeHint();
    setFixedSize(std::max(hint.width(), 307), std::max(hint.height(), 154));
}

void Ttevki::BB2Click() {
    tevszov.clear();
    if (LB1->currentRow() >= 0) {
        std::array<bool, sheets::kActivities> chosen{};
        for (int k = 0; k < sheets::kActivities; ++k) chosen[k] = LB1->item(k)->isSelected();
        tevszov = sheets::ActivityCode::fromChoice(chosen);
    }
    accept();
}

void Ttevki::showEvent(QShowEvent* event) {
    tevszov.clear();
    if (sheetEntry_) {
        const QRect r = sheetEntry_->frameGeometry();
        PlaceFrom(this, sheetEntry_, r.width() / 2, r.height() / 2 + 5);
    }
    LB1->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void Ttevki::done(int result) {
    LB1->clearSelection();
    LB1->selectionModel()->clearCurrentIndex();
    QDialog::done(result);
}

} // namespace velmora::ui
