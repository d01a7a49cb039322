#include "widgets/HelpWindow.h"

#include "widgets/Buttons.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora::ui {

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent), Text(new QTextBrowser(this)), Tartalom(new QListWidget(this)), Kereses(new QLineEdit(this)),
      Talalat(new QLabel(this)) {
    setObjectName(QStringLiteral("Sugo"));
    setWindowTitle(QString::fromUtf8("Súgó"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    Text->setObjectName(QStringLiteral("Text"));
    Text->setOpenLinks(true);
    Text->setOpenExternalLinks(false);
    Tartalom->setObjectName(QStringLiteral("Tartalom"));
    Kereses->setObjectName(QStringLiteral("Kereses"));
    Kereses->setPlaceholderText(QString::fromUtf8("Keresett szöveg"));
    Talalat->setObjectName(QStringLiteral("Talalat"));
    QPushButton* keres = NamedButton(this, "Keres", "Keresés");
    QPushButton* bezar = NamedButton(this, "Bezar", "Bezárás");
    keres->setAutoDefault(false);
    bezar->setAutoDefault(false);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QString::fromUtf8("Keresés:"), this));
    searchRow->addWidget(Kereses, 1);
    searchRow->addWidget(keres);
    searchRow->addWidget(Talalat);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(Tartalom);
    splitter->addWidget(Text);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 680});
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bezar);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    resize(900, 650);

    connect(Kereses, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(Kereses, &QLineEdit::textChanged, Talalat, &QLabel::clear);
    connect(keres, &QPushButton::clicked, this, [this] { findNext(); });
    connect(bezar, &QPushButton::clicked, this, &QDialog::close);
    connect(Tartalom, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showChapter(item->data(Qt::UserRole).toString()); });
    connect(Tartalom, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showChapter(item->data(Qt::UserRole).toString()); });
}

bool HelpWindow::load(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QString html = QString::fromUtf8(in.readAll());
    if (html.isEmpty()) return false;
    file_ = file;
    listChapters(html);
    // Through the file's address, so the pictures are found beside it.
    Text->setSource(QUrl::fromLocalFile(file_));
    return true;
}

// The chapters are the second-level titles that carry an anchor.
void HelpWindow::listChapters(const QString& html) {
    Tartalom->clear();
    static const QRegularExpression title(QStringLiteral("<h2 id=\"([^\"]+)\">(.*?)</h2>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    for (auto it = title.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QTextDocument plain;
        plain.setHtml(m.captured(2).remove(tags));
        auto* item = new QListWidgetItem(plain.toPlainText().simplified(), Tartalom);
        item->setData(Qt::UserRole, m.captured(1));
    }
}

void HelpWindow::showChapter(const QString& chapter) {
    chapter_ = chapter;
    QUrl url = QUrl::fromLocalFile(file_);
    if (!chapter.isEmpty()) url.setFragment(chapter);
    Text->setSource(url);
    if (chapter.isEmpty()) Text->scrollToAnchor({});
    for (int i = 0; i < Tartalom->count(); ++i)
        if (Tartalom->item(i)->data(Qt::UserRole).toString() == chapter) Tartalom->setCurrentRow(i);
}

bool HelpWindow::findNext() {
    const QString text = Kereses->text().trimmed();
    Talalat->clear();
    if (text.isEmpty()) return false;
    if (Text->find(text)) return true;
    QTextCursor start = Text->textCursor();
    start.movePosition(QTextCursor::Start);
    Text->setTextCursor(start);
    if (Text->find(text)) return true;
    Talalat->setText(QString::fromUtf8("Nincs találat."));
    return false;
}

} // namespace velmora::ui
