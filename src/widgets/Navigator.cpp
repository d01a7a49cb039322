#include "widgets/Navigator.h"

#include "db/Table.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace velmora::ui {

Navigator::Navigator(db::Table& table, QWidget* parent) : QWidget(parent), table_(table) {
    auto* layout = layout_ = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    struct ButtonDef {
        const char* name;
        QStyle::StandardPixmap icon;
        const char* hint;
    };
    static const ButtonDef buttonDefs[4] = {
        {"nbFirst", QStyle::SP_MediaSkipBackward, "Első sor"},
        {"nbPrior", QStyle::SP_MediaSeekBackward, "Előző sor"},
        {"nbNext", QStyle::SP_MediaSeekForward, "Következő sor"},
        {"nbLast", QStyle::SP_MediaSkipForward, "Utolsó sor"},
    };
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(buttonDefs[i].name));
        b->setIcon(style()->standardIcon(buttonDefs[i].icon));
        b->setToolTip(QString::fromUtf8(buttonDefs[i].hint));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
        layout->addWidget(b);
        buttons_[i] = b;
    }
    layout->addStretch(1);
    connect(buttons_[First], &QToolButton::clicked, this, [this] { table_.first(); });
    connect(buttons_[Prior], &QToolButton::clicked, this, [this] { table_.prior(); });
    connect(buttons_[Next], &QToolButton::clicked, this, [this] { table_.next(); });
    connect(buttons_[Last], &QToolButton::clicked, this, [this] { table_.last(); });
    listener_ = table_.subscribe([this](db::TableEvent) { follow(); });
    follow();
}

Navigator::~Navigator() { table_.unsubscribe(listener_); }

void Navigator::addTool(QWidget* tool) { layout_->insertWidget(layout_->count() - 1, tool); }

void Navigator::follow() {
    const bool open = table_.isOpen() && !table_.isEmpty();
    const int pos = open ? table_.position() : -1;
    const bool atFirst = !open || pos <= 0;
    const bool atLast = !open || pos >= table_.recordCount() - 1;
    buttons_[First]->setEnabled(!atFirst);
    buttons_[Prior]->setEnabled(!atFirst);
    buttons_[Next]->setEnabled(!atLast);
    buttons_[Last]->setEnabled(!atLast);
}

} // namespace velmora::ui
