#include "DemoService.h"

#include <QSslConfiguration>
#include <QSslSocket>
#include <QXmlStreamWriter>
#include <optional>

namespace {

// The value of `key` in a query of key=value pairs joined by "&"; a bare flag has an empty value.
std::optional<QByteArray> queryValue(const QByteArray& query, const QByteArray& key)
{
    for (const QByteArray& pair : query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if ((equals < 0 ? pair : pair.left(equals)) == key)
            return equals < 0 ? QByteArray() : pair.mid(equals + 1);
    }
    return std::nullopt;
}

// Clients send the values percent-encoded; values as typed (older clients) are understood as well.
bool sameValue(const std::optional<QByteArray>& sent, const QString& expected)
{
    if (!sent)
        return false;
    const QByteArray wanted = expected.toUtf8();
    return *sent == wanted || QByteArray::fromPercentEncoding(*sent) == wanted;
}

QByteArray xmlDocument(const QString& root, const QString& text)
{
    QByteArray body;
    QXmlStreamWriter writer(&body);
    writer.writeStartDocument();
    writer.writeTextElement(root, text);
    writer.writeEndDocument();
    return body;
}

QByteArray withoutPassword(const QByteArray& target)
{
    const qsizetype at = target.indexOf("password=");
    if (at < 0)
        return target;
    const qsizetype end = target.indexOf('&', at);
    return target.left(at) + "password=***" + (end < 0 ? QByteArray() : target.mid(end));
}

} // namespace

DemoService::DemoService(const Account& account_, const AlarmTimeline& timeline_, QObject* parent)
    : QObject(parent)
    , account(account_)
    , timeline(timeline_)
{
    connect(&server, &HttpServer::requestReceived, this, &DemoService::answer);
    connect(&server, &HttpServer::requestRejected, this, [this](HttpConnection*, int status) {
        Q_EMIT requestLogged(QStringLiteral("unreadable request -> %1").arg(status));
    });
}

bool DemoService::listen(quint16 port, const QSslCertificate& certificate, const QSslKey& key)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    server.setTlsConfiguration([configuration](qsizetype) { return configuration; });
    if (!server.listen(QHostAddress::LocalHost, port))
        return false;
    clock.start();
    return true;
}

void DemoService::answer(HttpConnection* connection, const HttpConnection::Request& request)
{
    const QByteArray& method = request.method;
    const QByteArray& target = request.target;
    const qsizetype question = target.indexOf('?');
    const QByteArray path = question < 0 ? target : target.left(question);
    const QByteArray query = question < 0 ? QByteArray() : target.mid(question + 1);
    int status = 200;
    QByteArray type = "application/xml";
    QByteArray body;
    QString outcome;
    if (method != "GET") {
        status = 405;
        body = xmlDocument(QStringLiteral("error"), QStringLiteral("Only GET is served"));
    } else if (path == "/resolveGUID") {
        body = resolveGuid(query);
        // A refusal is an ordinary answer with another root element, not an HTTP error.
        outcome = credentialsMatch(query) ? QStringLiteral("guid")
                                          : QStringLiteral("wrong e-mail or password");
    } else if (path == "/rssalarms") {
        if (!queryValue(query, "mac2") || queryValue(query, "mac2")->size() != 0) {
            status = 400;
            body = xmlDocument(QStringLiteral("error"), QStringLiteral("Unknown feed format"));
        } else {
            type = "application/rss+xml";
            body = feed(query);
            outcome = QStringLiteral("%1 items").arg(body.count("<item>"));
        }
    } else if (path == "/") {
        type = "text/html; charset=utf-8";
        body = "<!DOCTYPE html><html><head><title>T-O-VO demo service</title></head><body>"
               "<h1>T-O-VO demo service</h1><p>Sign in with the demo account " +
               account.email.toHtmlEscaped().toUtf8() + ".</p></body></html>";
    } else {
        status = 404;
        body = xmlDocument(QStringLiteral("error"), QStringLiteral("Not found"));
    }
    connection->respond(status, {{"Content-Type", type}, {"Cache-Control", "no-store"}}, body);
    Q_EMIT requestLogged(
        QStringLiteral("%1 %2 -> %3%4")
            .arg(QString::fromLatin1(method), QString::fromUtf8(withoutPassword(target)))
            .arg(status)
            .arg(outcome.isEmpty() ? QString() : QStringLiteral(", ") + outcome));
}

bool DemoService::credentialsMatch(const QByteArray& query) const
{
    return sameValue(queryValue(query, "email"), account.email) &&
           sameValue(queryValue(query, "password"), account.password);
}

QByteArray DemoService::resolveGuid(const QByteArray& query) const
{
    if (!credentialsMatch(query))
        return xmlDocument(QStringLiteral("error"),
                           QStringLiteral("Unknown e-mail address or wrong password"));
    return xmlDocument(QStringLiteral("guid"), account.guid);
}

QByteArray DemoService::feed(const QByteArray& query)
{
    if (!sameValue(queryValue(query, "id"), account.guid)) {
        // How the service tells a client that its account is not set up.
        return rss(
            {{QStringLiteral("T-O-VO Feed Exception"), QStringLiteral("T-O-VO feed"), QString(),
              QString(), QStringLiteral("Unknown account"), QStringLiteral("feed-exception")}});
    }
    ++feedAnswers;
    return rss(timeline.alarms(feedAnswers, clock.elapsed() / 1000));
}

QByteArray DemoService::rss(const QList<DemoAlarm>& alarms)
{
    QByteArray body;
    QXmlStreamWriter writer(&body);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("rss"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    writer.writeStartElement(QStringLiteral("channel"));
    writer.writeTextElement(QStringLiteral("title"), QStringLiteral("T-O-VO alarms"));
    writer.writeTextElement(QStringLiteral("description"), QStringLiteral("Open alarms"));
    for (const DemoAlarm& alarm : alarms) {
        writer.writeStartElement(QStringLiteral("item"));
        writer.writeTextElement(QStringLiteral("title"),
                                alarm.agent + QStringLiteral(": ") + alarm.level);
        // The "<br>" is text of the description, not markup: the writer escapes it.
        QString description = QStringLiteral("Resource: ") + alarm.resource;
        if (!alarm.text.isEmpty() || !alarm.more.isEmpty())
            description += QStringLiteral("<br>") + alarm.text + QLatin1Char('\n') + alarm.more;
        writer.writeTextElement(QStringLiteral("description"), description);
        writer.writeStartElement(QStringLiteral("guid"));
        writer.writeAttribute(QStringLiteral("isPermaLink"), QStringLiteral("false"));
        writer.writeCharacters(alarm.guid);
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return body;
}
