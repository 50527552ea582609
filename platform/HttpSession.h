#pragma once
// The one HTTP(S) session of a program: GET only, on a QNetworkAccessManager that lives on the
// main thread. TLS peers are always verified (CAs from a PEM bundle named by SSL_CERT_FILE are
// trusted besides the system's); the desktop's proxy settings apply (http_proxy, https_proxy,
// no_proxy). A transfer that receives nothing for the inactivity timeout (60 s) fails, and so does
// a body larger than maximumBodySize, before anything parses it.

#include "Error.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

class HttpSession {
public:
    // Errors of the transport: Qt's network errors keep their QNetworkReply::NetworkError code and
    // message; the codes below are our own.
    static inline const QString transportErrorDomain = QStringLiteral("TOVOTransportErrorDomain");
    enum TransportErrorCode {
        TimedOut = 4, // the value of QNetworkReply::TimeoutError
        BodyTooLarge = 1000,
        NoBody = 1001,
    };
    // An answer with an HTTP status of 400 or more: code = the status, message "HTTP <status>".
    static inline const QString httpErrorDomain = QStringLiteral("TOVOHTTPErrorDomain");

    static constexpr qint64 maximumBodySize = 16 * 1024 * 1024;
    static constexpr std::chrono::milliseconds defaultInactivityTimeout{60000};

    struct Response {
        std::optional<QByteArray> body; // none when the transfer failed
        std::optional<Error> error;     // set whenever the transfer did not deliver a usable body
        int httpStatus = 0;             // 0 when no HTTP answer arrived
    };
    using Completion = std::function<void(Response)>;

    static HttpSession& shared();

    // Starts a GET of `urlText`, which must have passed UrlText::isValid; the request target is the
    // text as it stands (up to the normalisation of escapes, see HttpSession.cpp). Callable from
    // any thread; `completion` runs once, on the main thread.
    void get(const QString& urlText, Completion completion);

    // How long a transfer may go without receiving anything (tests shorten it).
    void setInactivityTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds inactivityTimeout() const;

    static Error transportError(TransportErrorCode code);
    static Error httpError(int status);

private:
    HttpSession() = default;
    QNetworkAccessManager& manager();
    void start(const QString& urlText, Completion completion);
    static Response responseOf(QNetworkReply& reply, bool tooLarge);

    QNetworkAccessManager* m_manager = nullptr; // main thread only; deleted with the application
    std::atomic<int> m_timeoutMs{static_cast<int>(defaultInactivityTimeout.count())};
};
