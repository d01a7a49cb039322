#include "widgets/Browse.h"

#include "db/Table.h"
#include "widgets/GridCursor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora::ui {

namespace {

namespace vk = app::vk;

// The keyboard's virtual key code for a Qt key: keys that type a character
// and function keys come out at 48 or more, the space as 32, every other
// key (arrows, page keys, Enter, Escape, modifiers) below 48.
int virtualKey(int key) {
    switch (key) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab: case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Return: case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Shift: return vk::Shift;
    case Qt::Key_Control: return vk::Control;
    case Qt::Key_Alt: case Qt::Key_AltGr: return vk::Menu;
    case Qt::Key_CapsLock: return vk::Capital;
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_PageUp: return vk::Prior;
    case Qt::Key_PageDown: return vk::Next;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::F1 + (key - Qt::Key_F1);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    if (key > 0 && key < 0x01000000) return 0xBA;  // punctuation and accented letters
    return 0;  // unknown keys count as "any other key"
}

// The character a key press types; control keys give their control code.
char32_t typedCharacter(const QKeyEvent* e) {
    const QString text = e->text();
    if (!text.isEmpty()) return text.toUcs4().value(0);
    switch (e->key()) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    default: return 0;
    }
}

// The room the field's widest number needs; 0 for a field that holds no
// number (or a table not open, whose layout is not known yet).
int widestNumber(const db::Table& table, const std::string& field, const QFontMetrics& cells) {
    const int f = table.isOpen() ? table.fieldIndex(field) : -1;
    if (f < 0) return 0;
    const db::FieldDef& def = table.fields()[static_cast<size_t>(f)];
    return def.type == 'N' ? cells.horizontalAdvance(QString(def.width, u'9')) + 12 : 0;
}

} // namespace

Browse::Browse(db::Table& table, std::vector<BrowseColumn> columns, QWidget* parent)
    : QWidget(parent),
      model_(new BrowseModel(table, std::move(columns), this)),
      grid_(new QTableView(this)),
      searchLabel_(new QLabel(QStringLiteral("Keresett szöveg:"), this)),
      searchText_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* searchRow = new QHBoxLayout;
    searchLabel_->setObjectName(QStringLiteral("Label1"));
    searchText_->setObjectName(QStringLiteral("szoveg"));
    QFont bold = font();
    bold.setBold(true);
    searchLabel_->setFont(bold);
    searchText_->setFont(bold);
    QPalette red = searchText_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    searchText_->setPalette(red);
    searchRow->addWidget(searchLabel_);
    searchRow->addWidget(searchText_, 1);
    layout->addLayout(searchRow);
    layout->addWidget(grid_);
    grid_->installEventFilter(this);

    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
    grid_->horizontalHeader()->setSectionsClickable(true);
    grid_->horizontalHeader()->setHighlightSections(false);
    // The widths were set for a smaller screen font: a title is never cut,
    // nor a number, which cut would read as another number.
    const QFontMetrics titles = grid_->horizontalHeader()->fontMetrics();
    for (int c = 0; c < model_->columnCount(); ++c)
        if (int w = model_->column(c).width; w > 0)
            grid_->setColumnWidth(c, std::max({w, titles.horizontalAdvance(model_->column(c).title) + 12,
                                               widestNumber(table, model_->column(c).field, grid_->fontMetrics())}));

    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, &Browse::titleClicked);
    new GridCursor(grid_, table);
}

Browse::~Browse() = default;

void Browse::setActiveColumn(int column) {
    active_ = column;
    const bool inGrid = column >= 0 && column < model_->columnCount();
    const bool red = inGrid && (!redOnlyIndexed_ || !model_->column(column).index.empty());
    model_->setActiveColumn(red ? column : -1);
}

void Browse::setSearchable(bool on) {
    searchable_ = on;
    searchLabel_->setVisible(on);
    searchText_->setVisible(on);
    clearSearch();
}

void Browse::titleClicked(int column) {
    if (column < 0 || column >= model_->columnCount()) return;
    setActiveColumn(column);
    clearSearch();
    if (const std::string& tag = model_->column(column).index; !tag.empty()) table().setActiveIndex(tag);
    table().first();
    emit activeColumnChanged(column);
}

} // namespace velmora::ui

namespace velmora::ui {

void Browse::clearSearch() {
    search_.clear();
    showSearch();
}

void Browse::showSearch() { searchText_->setText(QString::fromStdString(search_.shown())); }

void Browse::typed(char32_t ch) {
    const int column = activeColumn();
    const bool inGrid = column >= 0 && column < model_->columnCount();
    const std::string field = inGrid ? model_->column(column).field : std::string();
    const std::string current = inGrid && table().isOpen() && table().position() >= 0 ? table().text(field) : std::string();
    search_.keyPress(ch, column, current);
    if (inGrid && table().isOpen()) search_.locate(table(), field);
    showSearch();
}

bool Browse::eventFilter(QObject* watched, QEvent* event) {
    if (watched != grid_ || !searchable_ ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyRelease) {
        if (!key->isAutoRepeat()) {
            search_.keyUp(virtualKey(key->key()));
            showSearch();
        }
        return false;
    }
    search_.keyDown(virtualKey(key->key()));
    showSearch();
    const char32_t ch = typedCharacter(key);
    if (ch == 0) return false;  // arrows and other keys move the grid as usual
    typed(ch);
    emit characterTyped(static_cast<int>(ch));
    // Printable characters belong to the search, not to the grid's own
    // keyboard search.
    return ch >= 32 && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

} // namespace velmora::ui
