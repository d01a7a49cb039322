#pragma once
// "Súgó": the help file in a browser of its own, with the chapters listed
// on the left and a search line above the text. The pictures of the help
// folder show beside the text; links inside the help are followed.
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace velmora::ui {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Reads the help file; false when it cannot be read.
    bool load(const QString& file);
    // Shows the chapter's anchor ("" the beginning).
    void showChapter(const QString& chapter);
    // The next place the search text occurs, from the cursor on and round
    // to the beginning; false (and "Nincs találat.") when nowhere.
    bool findNext();

    QString file() const { return file_; }
    QString chapter() const { return chapter_; }

    QTextBrowser* Text;
    QListWidget* Tartalom;
    QLineEdit* Kereses;
    QLabel* Talalat;

private:
    void listChapters(const QString& html);

    QString file_;
    QString chapter_;
};

} // namespace velmora::ui
