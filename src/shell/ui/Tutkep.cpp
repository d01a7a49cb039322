#include "shell/ui/Tutkep.h"

#include "widgets/Help.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {

// Letters far apart in a proportional font, digits, the padding blank and
// the accented letters of Hungarian paths and captions.
bool advancesAlike(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString probe = QString::fromUtf8("iWm0 .:/íőŰÁé");
    const int width = metrics.horizontalAdvance(probe.front());
    for (const QChar c : probe)
        if (metrics.horizontalAdvance(c) != width) return false;
    return true;
}

} // namespace

QFont MonospacedFont(const QFont& first) {
    if (advancesAlike(first)) return first;
    // Liberation Mono comes with the project's set-up; the others cover the
    // usual desktops.
    for (const char* family : {"Liberation Mono", "DejaVu Sans Mono", "Noto Sans Mono", "Cousine", "Courier New",
                               "Nimbus Mono PS", "FreeMono"}) {
        QFont candidate = first;
        candidate.setFamilies({QString::fromLatin1(family)});
        candidate.setStyleHint(QFont::TypeWriter);
        if (advancesAlike(candidate)) return candidate;
    }
    return first;
}

Tutkep::Tutkep(QWidget* parent) : QDialog(parent) {
    setObjectName("utkep");
    setWindowTitle("A program elérhetőségei");

    L1 = new QLabel(this);
    L1->setObjectName("L1");
    L1->setFont(MonospacedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)));
    L1->setTextFormat(Qt::PlainText);
    L1->setTextInteractionFlags(Qt::TextSelectableByMouse);

    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(L1, 1);
    layout->addWidget(OKBtn, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    InstallHelpKey(this);
}

} // namespace velmora::ui
