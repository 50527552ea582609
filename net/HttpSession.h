#pragma once
// An HTTP(S) session: GET only, on libcurl's multi interface driven by the main
// thread's event loop. Every answer is bounded: body size (per request), header size, everything
// its connections receive (the body's bound plus the headers', counted off the wire), time without
// data and total time. No cookies, HTTP/1.1 on a fresh connection per request and no automatic
// resend, so one call puts at most one request on the wire. TLS peers are always verified
// (the system's CAs, plus a PEM bundle named by SSL_CERT_FILE); the proxy variables apply to https
// (https_proxy, all_proxy and no_proxy, in lower or upper case). A plain-http request, which only
// ever goes to this machine, uses no proxy and follows no redirect to another host.

#include "base/Error.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QObject;
class QSocketNotifier;
class QTimer;

class HttpSession {
public:
    // Errors of the transport: libcurl's failures keep their CURLcode and its fixed message (never
    // the URL: it may hold a password or a GUID); the codes below are our own.
    static inline const QString transportErrorDomain = QStringLiteral("HttpTransport");
    enum TransportErrorCode {
        BodyTooLarge = 1000,
        NoBody = 1001,
        TimedOut = 1002, // nothing received for the inactivity timeout, or past the deadline
        HeadersTooLarge = 1003,
        RedirectRefused = 1004, // a plain-http request redirected to another host
    };
    // An answer with an HTTP status of 400 or more: code = the status, message "HTTP <status>".
    static inline const QString httpErrorDomain = QStringLiteral("HttpStatus");

    static constexpr qint64 maximumHeaderSize = 64 * 1024; // all header lines of one request
    static constexpr int maximumRedirects = 5;
    static constexpr std::chrono::milliseconds defaultInactivityTimeout{60000};
    // One polling interval: a request never overlaps the next poll.
    static constexpr std::chrono::milliseconds defaultDeadline{60000};

    struct Response {
        std::optional<QByteArray> body; // none when the transfer failed
        std::optional<Error> error;     // set exactly when there is no body
        int httpStatus = 0;             // 0 when no HTTP answer arrived
    };
    using Completion = std::function<void(Response)>;
    // Takes the body's bytes as they arrive, on the main thread, so that they are never held
    // whole; the response's body is then empty. Bytes of an error page are not handed over.
    using Receiver = std::function<void(QByteArrayView bytes)>;

    // Set up on its first request; torn down when it goes or with the application object,
    // whichever comes first (a request still running then is dropped).
    HttpSession();
    ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    // Starts a GET of `urlText`, which must have passed UrlText::isValid; the request target is the
    // text as it stands. A body above `maximumBodySize` bytes fails the request, and so do more
    // than `maximumBodySize` + maximumHeaderSize bytes received in all ("The answer is too
    // large"). Callable from any thread; `completion` runs once, on the main thread.
    void get(const QString& urlText, qint64 maximumBodySize, Completion completion,
             Receiver receiver = {});

    // How long a transfer may go without receiving anything, or less than a byte a second (whole
    // seconds, rounded up; tests shorten it).
    void setInactivityTimeout(std::chrono::milliseconds timeout);
    // How long a request may take in all (defaultDeadline unless set).
    void setDeadline(std::chrono::milliseconds deadline);

    static Error transportError(TransportErrorCode code);
    static Error httpError(int status);

private:
    struct Transfer;

    void start(const QString& urlText, qint64 maximumBodySize, Completion completion,
               Receiver receiver);
    void setUp();
    void tearDown();
    static void tearDownAll();
    void act(int socket, int events);
    void finishTransfers();
    static int watchSocket(void* easy, int socket, int what, void* session, void* socketData);
    static int scheduleTimeout(void* multi, long timeoutMs, void* session);
    static int closeSocket(void* session, int socket);

    // Main thread only, from the first request until the application object goes.
    void* m_multi = nullptr;      // the CURLM handle
    QObject* m_context = nullptr; // owns the timer and the socket notifiers
    QTimer* m_timer = nullptr;    // libcurl's next time-out
    std::map<int, std::array<QSocketNotifier*, 2>> m_sockets; // read and write notifier
    std::map<void*, std::unique_ptr<Transfer>> m_transfers;   // by CURL handle
    quint64 m_requests = 0;                                   // started so far
    std::atomic<long> m_inactivityMs{static_cast<long>(defaultInactivityTimeout.count())};
    std::atomic<long> m_deadlineMs{static_cast<long>(defaultDeadline.count())};
};
