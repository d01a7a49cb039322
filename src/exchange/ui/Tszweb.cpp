#include "exchange/ui/Tszweb.h"

#include "widgets/Buttons.h"
#include "widgets/QtText.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace velmora::ui {

namespace {

// The window has one view: what the page would open in a new window opens
// in the page itself.
class ReportPage : public QWebEnginePage {
public:
    ReportPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
};

} // namespace

Tszweb::Tszweb(QWidget* owner, const TszwebSetup& setup)
    : QDialog(owner), address_(QUrl::fromUserInput(qs(setup.address))) {
    setObjectName(QStringLiteral("Tszweb"));
    setWindowTitle(QString::fromUtf8("E-Jelentés küldése KAB honlapjára"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);

    // A named profile keeps its cookies and cache on disk between runs.
    profile_ = new QWebEngineProfile(QStringLiteral("Velmora"), this);
    profile_->setPersistentStoragePath(qs(setup.profileDir));
    profile_->setCachePath(qs(setup.profileDir + "/cache"));
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    profile_->setDownloadPath(qs(setup.downloadDir));
    const QString downloads = qs(setup.downloadDir);
    connect(profile_, &QWebEngineProfile::downloadRequested, this, [downloads](QWebEngineDownloadRequest* download) {
        download->setDownloadDirectory(downloads);
        download->accept();
    });

    auto* page = new ReportPage(profile_, this);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);

    allapot = new QLabel(this);
    allapot->setObjectName(QStringLiteral("allapot"));
    bongeszo = NamedButton(this, "bongeszo", "Megnyitás böngészőben", "Az oldal megnyitása a rendszer böngészőjében");
    connect(bongeszo, &QPushButton::clicked, this, [this] { openInSystemBrowser(); });

    WB1 = new QWebEngineView(this);
    WB1->setObjectName(QStringLiteral("WB1"));
    WB1->setPage(page);

    connect(page, &QWebEnginePage::certificateError, this, [this](const QWebEngineCertificateError& error) {
        QWebEngineCertificateError refused(error);
        refused.rejectCertificate();
        allapot->setText(QString::fromUtf8("A(z) %1 oldal tanúsítványa nem érvényes (%2), az oldal nem nyílt meg.")
                             .arg(error.url().host(), error.description()));
    });
    connect(page, &QWebEnginePage::loadStarted, allapot, &QLabel::clear);
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) { pageLoaded(ok); });

    hiba = new QLabel(this);
    hiba->setObjectName(QStringLiteral("hiba"));
    hiba->setAlignment(Qt::AlignCenter);
    hiba->setWordWrap(true);
    ujra = NamedButton(this, "ujra", "Újra", "Az oldal újbóli betöltése");
    connect(ujra, &QPushButton::clicked, this, [this] { load(); });
    auto* message = new QWidget(this);
    auto* messageLayout = new QVBoxLayout(message);
    messageLayout->addStretch(1);
    messageLayout->addWidget(hiba);
    messageLayout->addWidget(ujra, 0, Qt::AlignHCenter);
    messageLayout->addStretch(2);
    oldal = new QStackedWidget(this);
    oldal->addWidget(WB1);
    oldal->addWidget(message);

    auto* bar = new QHBoxLayout;
    bar->addWidget(allapot, 1);
    bar->addWidget(bongeszo);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(oldal, 1);
}

// The view and its page go before the profile they use.
Tszweb::~Tszweb() {
    QWebEnginePage* page = WB1->page();
    delete WB1;
    delete page;
}

bool Tszweb::run() {
    loading_ = false;
    loadedOk_ = false;
    setWindowState(windowState() | Qt::WindowMaximized);
    exec();
    return loadedOk_;
}

void Tszweb::showEvent(QShowEvent* event) {
    if (!loading_ && etipus == "E") {
        loading_ = true;
        load();
    }
    QDialog::showEvent(event);
    // In front of the window it was opened from, also when the window
    // manager would place a new window behind it.
    raise();
    activateWindow();
}

void Tszweb::load() {
    oldal->setCurrentWidget(WB1);
    WB1->load(address_);
}

void Tszweb::pageLoaded(bool ok) {
    if (ok) {
        loadedOk_ = true;
        oldal->setCurrentWidget(WB1);
        return;
    }
    // A refused certificate has said why in the status line already.
    const QString why = allapot->text().isEmpty()
                            ? QString::fromUtf8("A KAB e-jelentés oldala nem tölthető be:\n%1").arg(address_.toString())
                            : allapot->text();
    hiba->setText(why + QString::fromUtf8("\n\nEllenőrizze a hálózati kapcsolatot és az oldal címét "
                                          "(Szervíz → E-jelentés oldalának címe), majd nyomja meg az \"Újra\" "
                                          "gombot, vagy próbálja a \"Megnyitás böngészőben\" gombbal!"));
    oldal->setCurrentWidget(hiba->parentWidget());
}

void Tszweb::openInSystemBrowser() {
    const QUrl url = WB1->url().isEmpty() ? address_ : WB1->url();
    if (!QDesktopServices::openUrl(url))
        allapot->setText(QString::fromUtf8("A rendszer böngészője nem indítható; az oldal címe: ") + url.toString());
}

} // namespace velmora::ui
