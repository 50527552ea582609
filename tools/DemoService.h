#pragma once
// The demo stand-in for the monitoring service: one account, HTTPS on loopback, the sign-in
// endpoint "/resolveGUID?email=..&password=.." and the feed "/rssalarms?mac2&id=GUID", plus a
// small page at "/" for the web site. Every request is reported through requestLogged.

#include "AlarmTimeline.h"
#include "HttpServer.h"

#include <QElapsedTimer>
#include <QObject>

class QSslCertificate;
class QSslKey;

class DemoService : public QObject {
    Q_OBJECT
public:
    struct Account {
        QString email;
        QString password;
        QString guid;
    };

    DemoService(const Account& account, const AlarmTimeline& timeline, QObject* parent = nullptr);

    bool listen(quint16 port, const QSslCertificate& certificate, const QSslKey& key);
    quint16 port() const { return server.serverPort(); }
    QString errorString() const { return server.errorString(); }

    // The answers, public for the tests.
    QByteArray resolveGuid(const QByteArray& query) const;
    QByteArray feed(const QByteArray& query);
    static QByteArray rss(const QList<DemoAlarm>& alarms);

Q_SIGNALS:
    void requestLogged(const QString& line);

private:
    void answer(HttpConnection* connection, const HttpConnection::Request& request);
    bool credentialsMatch(const QByteArray& query) const;

    Account account;
    AlarmTimeline timeline;
    HttpServer server;
    QElapsedTimer clock;
    int feedAnswers = 0;
};
