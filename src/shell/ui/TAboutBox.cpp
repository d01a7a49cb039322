#include "shell/ui/TAboutBox.h"

#include "app/Version.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace velmora::ui {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("Névjegy");
    setHint(this, "Verzió megmutatása");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);

    auto* icon = new QLabel(panel);
    icon->setObjectName("ProgramIcon");
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));

    ProductName = new QLabel(app::kProgramTitle, panel);
    ProductName->setObjectName("ProductName");
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    ProductName->setFont(big);

    Version = new QLabel(app::kVersion, panel);
    Version->setObjectName("Version");

    auto* texts = new QVBoxLayout;
    texts->addWidget(ProductName);
    texts->addWidget(Version);
    texts->addStretch();
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->addWidget(icon, 0, Qt::AlignTop);
    panelLayout->addSpacing(12);
    panelLayout->addLayout(texts, 1);

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
    setFixedSize(300, 180);
    InstallHelpKey(this);
}

} // namespace velmora::ui
