// The about box against a web server of the test's own on 127.0.0.1.

#include <QHostAddress>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBrowser>

#include "UiTestSupport.h"
#include "Unit4.h"

namespace zanfeld::test {
namespace {

// Answers every request with a fixed response and remembers the request lines.
class TinyServer {
  public:
    explicit TinyServer(QByteArray response) : m_response(std::move(response)) {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_buffers[socket] += socket->readAll();
                    const QByteArray& buffer = m_buffers[socket];
                    if (!buffer.contains("\r\n\r\n")) return;
                    requestLines << buffer.left(buffer.indexOf("\r\n"));
                    if (m_response.isEmpty()) return;  // never answers
                    socket->write(m_response);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QString base() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    bool listening() const { return m_server.isListening(); }

    QList<QByteArray> requestLines;

  private:
    QTcpServer m_server;
    QByteArray m_response;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

QByteArray HttpResponse(const QByteArray& status, const QByteArray& contentType,
                        const QByteArray& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

class AboutBoxTest : public UiTest {
  protected:
    void TearDown() override {
        TfrmAbout::setBaseAddress(QString::fromLatin1(TfrmAbout::kDefaultBaseAddress));
        UiTest::TearDown();
    }

    // Shows the box and waits for what it ends up showing; true when the page came.
    bool ShowAndWait(TfrmAbout& about, int timeoutMs = 15000) {
        QSignalSpy spy(&about, &TfrmAbout::pageShown);
        about.show();
        EXPECT_TRUE(spy.wait(timeoutMs));
        return !spy.isEmpty() && spy.first().first().toBool();
    }
};

TEST_F(AboutBoxTest, AsksTheServerForTheVersionedPageAndShowsIt) {
    TinyServer server(HttpResponse("200 OK", "text/html; charset=utf-8",
                                   "<html><body><p>分拣软件的关于页</p></body></html>"));
    ASSERT_TRUE(server.listening());
    TfrmAbout::setBaseAddress(server.base());
    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 - Zanfeld"));

    EXPECT_TRUE(ShowAndWait(about));
    ASSERT_EQ(server.requestLines.size(), 1);
    EXPECT_EQ(server.requestLines[0], "GET /soft/AboutZanfeld.asp?VER=2.3 HTTP/1.1");
    EXPECT_TRUE(about.WebBrowser1->toPlainText().contains(QStringLiteral("分拣软件的关于页")));

    // Every showing fetches afresh.
    about.hide();
    EXPECT_TRUE(ShowAndWait(about));
    EXPECT_EQ(server.requestLines.size(), 2);
}

TEST_F(AboutBoxTest, PageDeclaringItsCharsetIsDecoded) {
    const QByteArray latin1Body =
        "<html><head><meta charset=\"iso-8859-1\"></head><body>caf\xe9</body></html>";
    TinyServer server(HttpResponse("200 OK", "text/html", latin1Body));
    TfrmAbout::setBaseAddress(server.base());
    TfrmAbout about;
    EXPECT_TRUE(ShowAndWait(about));
    EXPECT_TRUE(about.WebBrowser1->toPlainText().contains(QStringLiteral("café")));
}

TEST_F(AboutBoxTest, ChineseCodePagePageIsDecoded) {
    // "关于" in GBK, declared by the server's header.
    TinyServer server(HttpResponse("200 OK", "text/html; charset=gbk",
                                   "<html><body>\xB9\xD8\xD3\xDA</body></html>"));
    TfrmAbout::setBaseAddress(server.base());
    TfrmAbout about;
    EXPECT_TRUE(ShowAndWait(about));
    EXPECT_TRUE(about.WebBrowser1->toPlainText().contains(QStringLiteral("关于")));
}

TEST_F(AboutBoxTest, ShowsTheBuiltInTextWhenNothingListens) {
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    TfrmAbout::setBaseAddress(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    TfrmAbout about;
    EXPECT_FALSE(ShowAndWait(about));
    const QString text = about.WebBrowser1->toPlainText();
    EXPECT_TRUE(text.contains("Zanfeld"));
    EXPECT_TRUE(text.contains("2.3"));
}

TEST_F(AboutBoxTest, ServerErrorGivesTheBuiltInText) {
    TinyServer server(HttpResponse("404 Not Found", "text/html", "<html>missing</html>"));
    TfrmAbout::setBaseAddress(server.base());
    TfrmAbout about;
    EXPECT_FALSE(ShowAndWait(about));
    EXPECT_FALSE(about.WebBrowser1->toPlainText().contains("missing"));
    EXPECT_TRUE(about.WebBrowser1->toPlainText().contains("Zanfeld"));
}

TEST_F(AboutBoxTest, SilentServerTimesOutToTheBuiltInText) {
    TinyServer server{QByteArray()};
    TfrmAbout::setBaseAddress(server.base());
    TfrmAbout about;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(ShowAndWait(about, TfrmAbout::kTimeoutMs + 10000));
    EXPECT_GE(clock.elapsed(), TfrmAbout::kTimeoutMs * 3 / 4);
    EXPECT_TRUE(about.WebBrowser1->toPlainText().contains("Zanfeld"));
    EXPECT_EQ(server.requestLines.size(), 1);
}

TEST_F(AboutBoxTest, OkAndEscapeClose) {
    TfrmAbout::setBaseAddress(QStringLiteral("http://127.0.0.1:1"));
    TfrmAbout about;
    auto* ok = Find<QPushButton>(&about, "Button1");
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    about.show();
    ok->click();
    EXPECT_FALSE(about.isVisible());
    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace zanfeld::test
