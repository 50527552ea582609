#pragma once
// An in-process stand-in for the monitoring service on 127.0.0.1, over HTTP or HTTPS: records every
// request as it arrived and answers with any Answer, misbehaviours of a broken service included.

#include "HttpConnection.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <utility>

class HttpServer;

class FakeService : public QObject {
    Q_OBJECT
public:
    enum class Security { Http, Https, HttpsUntrusted };
    enum class Behaviour {
        Respond,      // status line, headers, Content-Length and the body
        Stall,        // read the request, then send nothing and keep the connection open
        Reset,        // reset the connection (RST) without answering
        ResetMidBody, // send the headers and half the body, then reset the connection
        Truncate,     // declare a longer Content-Length than the body sent, then close
        Oversized,    // stream a body of oversizedSize bytes without a Content-Length
        HeaderFlood,  // send headerFloodSize bytes of header lines before the body
        Drip,         // send the headers, then one byte of the body every dripInterval
        Garbage,      // send bytes that are no HTTP answer, then close
        // a chunked body of oversizedSize bytes that are nearly all chunk extensions (one byte of
        // body in each chunk of 8 KiB), without "Connection: close": a client that would keep the
        // connection reads it all, even when it has no use for the body (a redirect's)
        ChunkExtensions,
    };
    static constexpr qsizetype oversizedBodySize = 17 * 1024 * 1024;
    static constexpr qsizetype headerFloodSize = 2 * 1024 * 1024;
    static constexpr int dripIntervalMs = 100;

    struct Answer {
        Answer() = default;
        Answer(int status_, QByteArray body_ = {}, Behaviour behaviour_ = Behaviour::Respond)
            : status(status_)
            , body(std::move(body_))
            , behaviour(behaviour_)
        {}

        int status = 200;
        QByteArray body;
        QList<HttpConnection::Header> headers;
        Behaviour behaviour = Behaviour::Respond;
        qsizetype oversizedSize = oversizedBodySize;
    };
    using Handler = std::function<Answer(const QByteArray& target)>;

    explicit FakeService(Security security = Security::Http, QObject* parent = nullptr);

    // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>", no trailing slash.
    QString baseUrl() const;
    quint16 port() const { return m_port; }

    // The answer to every request from now on (default: 200 with an empty body).
    void setAnswer(Answer answer);
    // Chooses the answer per request target instead.
    void setHandler(Handler handler);

    // The request targets received so far, in order, exactly as on the request line.
    const QList<QByteArray>& requestTargets() const { return m_targets; }
    // The header lines of each request ("Name: value\r\n" each), in the same order.
    const QList<QByteArray>& requestHeaders() const { return m_headers; }

protected:
    HttpServer* server() const { return m_server; }
    // The answer to a request on the connection numbered `connection` (from 0, in the order they
    // were accepted); by default the handler's.
    virtual Answer answerTo(qsizetype connection, const QByteArray& target);

private:
    void receive(HttpConnection* connection, const HttpConnection::Request& request);
    void answer(HttpConnection* connection, const Answer& answer);

    Security m_security;
    HttpServer* m_server = nullptr;
    quint16 m_port = 0;
    Handler m_handler;
    QList<QByteArray> m_targets;
    QList<QByteArray> m_headers;
};
