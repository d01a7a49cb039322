#pragma once
// Panels that show one row of a shared table through labels: the values
// follow the table's current row wherever it is moved, and show nothing
// while the table is closed, has no row or lacks the field.
#include <QGroupBox>
#include <QObject>

#include <string>
#include <vector>

class QGridLayout;
class QLabel;

namespace velmora::db { class Table; }

namespace velmora::ui {

class Navigator;

// The value labels of one table, refreshed together on every change of the
// table.
class RecordLabels : public QObject {
    Q_OBJECT
public:
    RecordLabels(db::Table& table, QObject* parent);
    ~RecordLabels() override;

    db::Table& table() const { return table_; }

    // A bold label `chars` characters wide, named after the field; the value
    // of a numeric field is right-aligned.
    QLabel* add(const std::string& field, int chars, QWidget* parent);
    void refresh();

private:
    struct Bound {
        QLabel* label;
        std::string field;
    };
    db::Table& table_;
    std::vector<Bound> bound_;
    int listener_ = 0;
};

// One piece of a row as it reads: a caption, or a field's value.
struct RecordItem {
    QString caption;
    std::string field;  // "" for a caption
    int chars = 0;
};
inline RecordItem captionItem(const char* text) { return {QString::fromUtf8(text), {}, 0}; }
inline RecordItem fieldItem(std::string field, int chars) { return {{}, std::move(field), chars}; }

// Adds a row to a two-column layout: a leading caption in column 0, the
// rest of the row side by side in column 1.
void addRecordRow(QGridLayout* layout, RecordLabels& labels, QWidget* parent, const std::vector<RecordItem>& items);

// A titled panel over one table, one row at a time, with a navigator. It
// takes the focus (click or Tab) and says so through entered(); the arrow,
// page, Home and End keys move through the rows while it has the focus.
class RecordPanel : public QGroupBox {
    Q_OBJECT
public:
    RecordPanel(db::Table& table, const QString& title, QWidget* parent = nullptr);

    db::Table& table() const { return labels_->table(); }
    Navigator* navigator() const { return navigator_; }

signals:
    // The focus came into the panel from elsewhere in the window.
    void entered();

protected:
    void addRow(const std::vector<RecordItem>& items);
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    RecordLabels* labels_;
    QGridLayout* rows_;
    Navigator* navigator_;
};

} // namespace velmora::ui
