#pragma once

#include <QDialog>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTextBrowser;

namespace zanfeld {

// The about box: the maker's about page, or a short built-in text when the
// server cannot be reached.
class TfrmAbout : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kDefaultBaseAddress = "http://www.zanfeld.com";
    static constexpr const char* kPagePath = "/soft/AboutZanfeld.asp";
    static constexpr int kTimeoutMs = 5000;
    // A page larger than this is not an about page.
    static constexpr qint64 kMaxPageBytes = 1 << 20;

    explicit TfrmAbout(QWidget* parent = nullptr);

    // The server's address without a trailing "/"; tests point it elsewhere.
    static QString baseAddress();
    static void setBaseAddress(const QString& address);
    // Base address + "/soft/AboutZanfeld.asp?VER=2.3".
    static QUrl pageUrl();
    // What the box shows when the page cannot be fetched.
    static QString fallbackHtml();

    // Fetches the page afresh; every showing does this.
    void navigate();

    QTextBrowser* WebBrowser1;
    QPushButton* Button1;

  signals:
    // The page (fromServer) or the built-in text is now on show.
    void pageShown(bool fromServer);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void finished(QNetworkReply* reply);

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
};

}  // namespace zanfeld
