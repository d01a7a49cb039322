#include "shell/ui/Tutkep.h"

#include "widgets/Help.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

Tutkep::Tutkep(QWidget* parent) : QDialog(parent) {
    setObjectName("utkep");
    setWindowTitle("A program elérhetőségei");

    L1 = new QLabel(this);
    L1->setObjectName("L1");
    L1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
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
