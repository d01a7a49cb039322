#pragma once
// "E-Jelentés küldése KAB honlapjára": the fund's e-report page in a window
// of its own, shown maximised. The user completes the report there by the
// page's own means (uploading the files from KULD); the program reads
// nothing back. The page is loaded once each time the window is shown,
// not on every activation, so a form half filled survives a look at
// another window. The browser keeps its cookies in a profile of its own
// under the data directory, saves downloads into KULD, refuses pages whose
// certificate is not valid, and keeps links that would open a new window
// in its own view. "Megnyitás böngészőben" hands the page to the system's
// browser when the embedded one cannot cope with it.
//
// The window is modal over the window it was opened from and raised in
// front of it when shown. A page that does not load (no network, a wrong
// address) is covered by a message of ours instead of the browser's own
// English error, with a way to try again; run() tells whether the page
// ever loaded.
#include <QDialog>
#include <QUrl>

#include <string>

class QLabel;
class QPushButton;
class QStackedWidget;
class QWebEngineProfile;
class QWebEngineView;

namespace velmora::ui {

struct TszwebSetup {
    std::string address;     // the fund's e-report page
    std::string profileDir;  // cookies and cache
    std::string downloadDir; // KULD
};

class Tszweb : public QDialog {
    Q_OBJECT
public:
    Tszweb(QWidget* owner, const TszwebSetup& setup);
    ~Tszweb() override;

    // What the window shows: "E" the fund's e-report page (the shipment
    // sets it); any other value shows nothing.
    std::string etipus;

    // Shows the window maximised and modally until the user closes it; true
    // when the page loaded while it was shown.
    bool run();

    // The address the window loads for etipus "E".
    QUrl address() const { return address_; }

    QWebEngineView* WB1;
    QPushButton* bongeszo;  // "Megnyitás böngészőben"
    QLabel* allapot;        // what the page is doing, and what went wrong
    QStackedWidget* oldal;  // the page, or the message that it did not load
    QLabel* hiba;           // that message
    QPushButton* ujra;      // "Újra" loads the page again

protected:
    void showEvent(QShowEvent* event) override;

private:
    void openInSystemBrowser();
    void pageLoaded(bool ok);
    void load();

    QUrl address_;
    QWebEngineProfile* profile_;
    bool loading_ = false;  // the load was started since the window was last shown
    bool loadedOk_ = false;  // and the page loaded
};

} // namespace velmora::ui
