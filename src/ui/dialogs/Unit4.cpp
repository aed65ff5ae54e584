#include "Unit4.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "AppTitle.h"

namespace zanfeld {

namespace {

QString& BaseAddress() {
    static QString address = QString::fromLatin1(TfrmAbout::kDefaultBaseAddress);
    return address;
}

// The charset the server names, else the one the page declares, else UTF-8.
QString DecodePage(const QByteArray& body, const QByteArray& contentType) {
    const qsizetype at = contentType.toLower().indexOf("charset=");
    if (at >= 0) {
        QByteArray name = contentType.mid(at + 8).trimmed();
        const qsizetype end = name.indexOf(';');
        if (end >= 0) name = name.left(end).trimmed();
        name.replace('"', "");
        QStringDecoder decoder(name.constData());
        if (decoder.isValid()) return decoder.decode(body);
    }
    QStringDecoder html = QStringDecoder::decoderForHtml(body);
    if (html.isValid()) return html.decode(body);
    return QString::fromUtf8(body);
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("关于 - %1").arg(AppTitle()));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOpenExternalLinks(true);
    WebBrowser1->setFixedSize(380, 360);
    // Tab reaches the page's links; a screen reader names what it is in.
    WebBrowser1->setAccessibleName(tr("关于本程序"));

    Button1 = new QPushButton(tr("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(Button1);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(WebBrowser1);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_network = new QNetworkAccessManager(this);
    connect(m_network, &QNetworkAccessManager::finished, this,
            [this](QNetworkReply* reply) { finished(reply); });
    // Esc closes the box through QDialog's own reject.
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

QString TfrmAbout::baseAddress() { return BaseAddress(); }

void TfrmAbout::setBaseAddress(const QString& address) {
    QString a = address;
    while (a.endsWith(QLatin1Char('/'))) a.chop(1);
    BaseAddress() = a;
}

QUrl TfrmAbout::pageUrl() {
    return QUrl(BaseAddress() + QString::fromLatin1(kPagePath) + QStringLiteral("?VER=") +
                QString::fromLatin1(kAppVersion));
}

QString TfrmAbout::fallbackHtml() {
    return QStringLiteral(
               "<html><body style=\"font-family:sans-serif\">"
               "<h2 align=\"center\">%1</h2>"
               "<p align=\"center\">%2</p>"
               "<p>%3</p>"
               "<p align=\"center\">%4</p>"
               "</body></html>")
        .arg(QString::fromLatin1(kAppName),
             tr("版本 %1").arg(QString::fromLatin1(kAppVersion)).toHtmlEscaped(),
             tr("文件分拣工具：按关键字、文件名、类型、大小、日期或图片宽高，"
                "把文件复制或移动到输出目录下的分类文件夹中；也可按目录名分拣整个文件夹。")
                 .toHtmlEscaped(),
             tr("暂时无法连接到服务器。").toHtmlEscaped());
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    navigate();
}

void TfrmAbout::navigate() {
    if (m_reply) {
        // A fetch from an earlier showing is of no use any more.
        QNetworkReply* old = m_reply;
        m_reply = nullptr;
        old->abort();
    }
    WebBrowser1->clear();
    QNetworkRequest request(pageUrl());
    request.setTransferTimeout(kTimeoutMs);
    m_reply = m_network->get(request);
    QNetworkReply* reply = m_reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > kMaxPageBytes) reply->abort();
    });
}

void TfrmAbout::finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != m_reply) return;  // superseded by a newer fetch
    m_reply = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        const QByteArray body = reply->readAll();
        WebBrowser1->setHtml(DecodePage(
            body, reply->header(QNetworkRequest::ContentTypeHeader).toString().toLatin1()));
        emit pageShown(true);
        return;
    }
    WebBrowser1->setHtml(fallbackHtml());
    emit pageShown(false);
}

}  // namespace zanfeld
