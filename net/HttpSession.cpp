#include "net/HttpSession.h"

#include "base/MainQueue.h"
#include "net/NetLog.h"
#include "net/ReceivedBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// Where a connection finds the CAs it trusts, worked out once per process.
struct Trust {
    QByteArray caPath;                // the system's hashed folder, searched on demand
    QByteArray caFile;                // a bundle read whole: SSL_CERT_FILE, or the system's
    std::optional<QByteArray> caBlob; // the system's bundle and SSL_CERT_FILE in one
};

// The hashed folder (<hash>.0 links) lets OpenSSL load just the CAs a handshake needs, where the
// system's bundle file would put every CA in memory for each connection; SSL_CERT_FILE adds only
// its own certificates. Without a hashed folder both bundles are read.
Trust trustOf(CURL* easy)
{
    char* systemPath = nullptr;
    char* systemFile = nullptr;
    curl_easy_getinfo(easy, CURLINFO_CAPATH, &systemPath);
    curl_easy_getinfo(easy, CURLINFO_CAINFO, &systemFile);
    const QString extra = qEnvironmentVariable("SSL_CERT_FILE");
    const bool hasExtra = !extra.isEmpty() && QFileInfo(extra).isReadable();
    Trust trust;
    if (systemPath &&
        !QDir(QFile::decodeName(systemPath)).entryList({QStringLiteral("*.0")}).isEmpty()) {
        trust.caPath = systemPath;
        if (hasExtra)
            trust.caFile = QFile::encodeName(extra);
    } else if (!hasExtra) {
        trust.caFile = systemFile;
    } else {
        QFile system(QFile::decodeName(systemFile));
        QFile added(extra);
        system.open(QIODevice::ReadOnly);
        added.open(QIODevice::ReadOnly);
        trust.caBlob = system.readAll() + '\n' + added.readAll();
    }
    return trust;
}

void setTrust(CURL* easy)
{
    static const Trust trust = trustOf(easy);
    const auto text = [](const QByteArray& value) {
        return value.isEmpty() ? nullptr : value.data();
    };
    curl_easy_setopt(easy, CURLOPT_CAPATH, text(trust.caPath));
    curl_easy_setopt(easy, CURLOPT_CAINFO, text(trust.caFile));
    if (trust.caBlob) {
        curl_blob blob{const_cast<char*>(trust.caBlob->data()),
                       static_cast<size_t>(trust.caBlob->size()), CURL_BLOB_NOCOPY};
        curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
    }
}

// The sessions set up and not yet torn down, and whether the application object will tear them
// down; main thread only.
std::vector<HttpSession*> liveSessions;
bool tearDownAdded = false;

// libcurl's own messages are fixed texts: none of them quotes the URL.
Error curlError(CURLcode code)
{
    return Error::withDescription(HttpSession::transportErrorDomain, code,
                                  QString::fromUtf8(curl_easy_strerror(code)));
}

// The host of `url`, resolved against `base` as libcurl resolves a redirect's Location; none when
// it does not parse.
std::optional<QByteArray> hostOf(const QByteArray& url, const char* base = nullptr)
{
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
    char* host = nullptr;
    if (!parsed || (base && curl_url_set(parsed.get(), CURLUPART_URL, base, 0) != CURLUE_OK) ||
        curl_url_set(parsed.get(), CURLUPART_URL, url.constData(),
                     CURLU_URLENCODE | CURLU_ALLOW_SPACE) != CURLUE_OK ||
        curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK)
        return std::nullopt;
    QByteArray result(host);
    curl_free(host);
    return result;
}

} // namespace

struct HttpSession::Transfer {
    Transfer() = default;
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
    ~Transfer() { curl_easy_cleanup(easy); }

    CURL* const easy = curl_easy_init();
    quint64 number = 0; // for the debug output, which never shows the URL
    QElapsedTimer started;
    qint64 maximumBodySize = 0;
    qint64 maximumReceived = 0; // by all its connections, whatever the bytes are
    ReceivedBytes received;
    // Until its TLS handshake starts, a connection of an https request hears only from a proxy.
    bool secure = false;
    bool handshakeStarted = false;
    qint64 headerBytes = 0;
    qint64 bodyBytes = 0;
    QByteArray body;                           // unless a receiver takes the bytes
    std::optional<TransportErrorCode> refused; // a bound that ended the transfer
    std::optional<QByteArray> onlyHost;        // plain http: the host its redirects must keep
    Completion completion;
    Receiver receiver;

    // Whether the transfer has been refused, or its connections have now received more than it
    // allows; then they are cut off as well. libcurl ends a transfer only from its write, header
    // and progress callbacks, and reads what it discards (a redirect's body, a proxy's answer)
    // without calling the first two, up to a hundred reads at a time.
    bool pastBound()
    {
        if (refused)
            return true;
        // A proxy's answer to CONNECT is a status and headers, and perhaps a short page; libcurl
        // reads it a byte at a time, so even the body's bound would take seconds to reach.
        if (received.total() <= maximumReceived &&
            !(secure && !handshakeStarted && received.latest() > maximumHeaderSize))
            return false;
        refused = BodyTooLarge;
        received.cutOff();
        return true;
    }

    // Returning less than was handed over makes libcurl end the transfer.
    static size_t receiveBody(char* data, size_t size, size_t count, void* self)
    {
        auto& transfer = *static_cast<Transfer*>(self);
        const auto bytes = static_cast<qint64>(size * count);
        if (transfer.pastBound())
            return 0;
        if (transfer.bodyBytes + bytes > transfer.maximumBodySize) {
            transfer.refused = BodyTooLarge;
            return 0;
        }
        transfer.bodyBytes += bytes;
        if (!transfer.receiver) {
            transfer.body.append(data, bytes);
            return size * count;
        }
        long status = 0;
        curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
        if (status < 400)
            transfer.receiver(QByteArrayView(data, bytes));
        return size * count;
    }
    static size_t receiveHeader(char* data, size_t size, size_t count, void* self)
    {
        auto& transfer = *static_cast<Transfer*>(self);
        const auto bytes = static_cast<qint64>(size * count);
        if (transfer.pastBound())
            return 0;
        transfer.headerBytes += bytes;
        if (transfer.headerBytes > maximumHeaderSize) {
            transfer.refused = HeadersTooLarge;
            return 0;
        }
        if (transfer.onlyHost && !transfer.staysOnHost(QByteArray(data, bytes))) {
            transfer.refused = RedirectRefused;
            return 0;
        }
        return size * count;
    }
    // Called for every read, also of the bytes that libcurl discards: the bound is checked there.
    static int watchReceived(CURL*, curl_infotype type, char*, size_t, void* self)
    {
        auto& transfer = *static_cast<Transfer*>(self);
        if (type == CURLINFO_SSL_DATA_OUT)
            transfer.handshakeStarted = true;
        if (type == CURLINFO_HEADER_IN || type == CURLINFO_DATA_IN || type == CURLINFO_SSL_DATA_IN)
            transfer.pastBound();
        return 0;
    }
    // Also called for every byte of a proxy's answer to CONNECT, which libcurl reads one by one.
    static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<Transfer*>(self)->pastBound() ? 1 : 0;
    }
    static curl_socket_t openSocket(void* self, curlsocktype, curl_sockaddr* address)
    {
        const curl_socket_t socket =
            ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
        auto& transfer = *static_cast<Transfer*>(self);
        if (socket != CURL_SOCKET_BAD) {
            transfer.handshakeStarted = false;
            transfer.received.add(socket);
        }
        return socket;
    }

    // False for the Location of a redirect to another host than onlyHost's.
    bool staysOnHost(const QByteArray& headerLine) const
    {
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        if (status < 300 || status > 399 || !headerLine.toLower().startsWith("location:"))
            return true;
        char* current = nullptr;
        curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &current);
        return hostOf(headerLine.mid(9).trimmed(), current) == onlyHost;
    }

    Response response(CURLcode result)
    {
        Response response;
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        response.httpStatus = static_cast<int>(status);
        if (refused)
            response.error = transportError(*refused);
        else if (result == CURLE_FILESIZE_EXCEEDED) // told by Content-Length, before the body
            response.error = transportError(BodyTooLarge);
        else if (status >= 400) // an error page is no answer: parsing it would hide an outage
            response.error = httpError(response.httpStatus);
        else if (result == CURLE_OPERATION_TIMEDOUT)
            response.error = transportError(TimedOut);
        else if (result != CURLE_OK)
            response.error = curlError(result);
        else
            response.body = std::move(body);
        return response;
    }
};

HttpSession::HttpSession() = default;

HttpSession::~HttpSession()
{
    if (m_multi)
        tearDown();
}

void HttpSession::get(const QString& urlText, qint64 maximumBodySize, Completion completion,
                      Receiver receiver)
{
    MainQueue::async([this, urlText, maximumBodySize, completion = std::move(completion),
                      receiver = std::move(receiver)]() mutable {
        start(urlText, maximumBodySize, std::move(completion), std::move(receiver));
    });
}

void HttpSession::setInactivityTimeout(std::chrono::milliseconds timeout)
{
    m_inactivityMs = static_cast<long>(timeout.count());
}

void HttpSession::setDeadline(std::chrono::milliseconds deadline)
{
    m_deadlineMs = static_cast<long>(deadline.count());
}

Error HttpSession::transportError(TransportErrorCode code)
{
    switch (code) {
    case BodyTooLarge:
        return Error::withDescription(transportErrorDomain, code,
                                      QStringLiteral("The answer is too large"));
    case TimedOut:
        return Error::withDescription(transportErrorDomain, code,
                                      QStringLiteral("The request timed out"));
    case HeadersTooLarge:
        return Error::withDescription(transportErrorDomain, code,
                                      QStringLiteral("The answer's headers are too large"));
    case RedirectRefused:
        return Error::withDescription(transportErrorDomain, code,
                                      QStringLiteral("The answer redirects to another host"));
    case NoBody:
        break;
    }
    return Error::withDescription(transportErrorDomain, code,
                                  QStringLiteral("The transfer ended without an answer"));
}

Error HttpSession::httpError(int status)
{
    return Error::withDescription(httpErrorDomain, status, QStringLiteral("HTTP %1").arg(status));
}

void HttpSession::setUp()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    m_multi = curl_multi_init();
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &HttpSession::watchSocket);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &HttpSession::scheduleTimeout);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    m_context = new QObject();
    m_timer = new QTimer(m_context);
    m_timer->setSingleShot(true);
    QObject::connect(m_timer, &QTimer::timeout, m_context, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    // Gone with the application object, while its event dispatcher still exists.
    if (!std::exchange(tearDownAdded, true))
        qAddPostRoutine(tearDownAll);
    liveSessions.push_back(this);
}

void HttpSession::tearDownAll()
{
    tearDownAdded = false;
    while (!liveSessions.empty())
        liveSessions.back()->tearDown();
}

void HttpSession::tearDown()
{
    std::erase(liveSessions, this);
    for (const auto& [easy, transfer] : m_transfers)
        curl_multi_remove_handle(m_multi, easy);
    m_transfers.clear();
    curl_multi_cleanup(m_multi); // may still call watchSocket and scheduleTimeout
    m_multi = nullptr;
    delete m_context;
    m_context = nullptr;
    m_timer = nullptr;
    m_sockets.clear();
}

void HttpSession::start(const QString& urlText, qint64 maximumBodySize, Completion completion,
                        Receiver receiver)
{
    Q_ASSERT(MainQueue::isMainThread());
    if (!m_multi)
        setUp();
    auto transfer = std::make_unique<Transfer>();
    CURL* const easy = transfer->easy;
    if (!easy) {
        completion({std::nullopt, curlError(CURLE_OUT_OF_MEMORY), 0});
        return;
    }
    transfer->number = ++m_requests;
    transfer->started.start();
    transfer->maximumBodySize = maximumBodySize;
    transfer->maximumReceived = maximumBodySize + maximumHeaderSize;
    transfer->completion = std::move(completion);
    transfer->receiver = std::move(receiver);
    qCDebug(lcNet) << "request" << transfer->number << "started, body limit" << maximumBodySize;

    // The URL check lets only ASCII through; libcurl sends the target as it stands.
    const QByteArray url = urlText.toLatin1();
    const bool secure = urlText.startsWith(u"https:", Qt::CaseInsensitive);
    transfer->secure = secure;
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(maximumRedirects));
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    if (!secure) {
        // Plain http is for this machine alone: neither a proxy nor a redirect may carry what the
        // URL holds anywhere else in clear text.
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        transfer->onlyHost = hostOf(url).value_or(QByteArray());
    }
    setTrust(easy);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    // libcurl resends a request on its own only when a reused connection turns out dead: a fresh
    // connection each time makes every call exactly one request (a sign-in counts against
    // lock-out limits).
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Some front ends turn away requests without a User-Agent.
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Mozilla/5.0");

    // Time without data: libcurl counts it in whole seconds (below 1 byte per second).
    const long inactivityMs = m_inactivityMs.load();
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, inactivityMs);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, (inactivityMs + 999) / 1000));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, m_deadlineMs.load());
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maximumBodySize));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::receiveBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::receiveHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
    // Everything the connections receive counts: the sockets are ours, their bytes read as the
    // kernel counts them whenever libcurl reads (its debug output is the one callback it makes
    // for every read; nothing of it is printed) or reports progress.
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &Transfer::openSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &HttpSession::closeSocket);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, this); // may outlive the transfer
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &Transfer::watchReceived);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Transfer::progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);

    if (const CURLMcode added = curl_multi_add_handle(m_multi, easy); added != CURLM_OK) {
        transfer->completion({std::nullopt, curlError(CURLE_OUT_OF_MEMORY), 0});
        return;
    }
    m_transfers.emplace(easy, std::move(transfer));
}

void HttpSession::act(int socket, int events)
{
    int running = 0;
    curl_multi_socket_action(m_multi, socket, events, &running);
    finishTransfers();
}

void HttpSession::finishTransfers()
{
    // Completions run after libcurl's bookkeeping, since one may start the next request.
    std::vector<std::pair<std::unique_ptr<Transfer>, CURLcode>> finished;
    int left = 0;
    while (const CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        const CURLcode result = message->data.result;
        auto node = m_transfers.extract(message->easy_handle);
        curl_multi_remove_handle(m_multi, message->easy_handle);
        finished.emplace_back(std::move(node.mapped()), result);
    }
    for (auto& [transfer, result] : finished) {
        Response response = transfer->response(result);
        if (response.error)
            qCDebug(lcNet) << "request" << transfer->number << "failed after"
                           << transfer->started.elapsed() << "ms: HTTP" << response.httpStatus
                           << response.error->domain() << response.error->code();
        else
            qCDebug(lcNet) << "request" << transfer->number << "finished after"
                           << transfer->started.elapsed() << "ms: HTTP" << response.httpStatus
                           << transfer->bodyBytes << "bytes";
        qCDebug(lcNet) << "request" << transfer->number << "received" << transfer->received.total()
                       << "bytes in all";
        transfer->completion(std::move(response));
    }
}

int HttpSession::watchSocket(void*, int socket, int what, void* self, void*)
{
    auto& session = *static_cast<HttpSession*>(self);
    std::array<QSocketNotifier*, 2>& notifiers = session.m_sockets[socket];
    for (std::size_t index = 0; index < notifiers.size(); ++index) {
        // CURL_POLL_IN/OUT and CURL_CSELECT_IN/OUT are the same bits: 1 read, 2 write.
        const int event = 1 << index;
        const bool wanted = what != CURL_POLL_REMOVE && (what & event);
        QSocketNotifier*& notifier = notifiers[index];
        if (wanted && !notifier) {
            notifier = new QSocketNotifier(
                socket, index == 0 ? QSocketNotifier::Read : QSocketNotifier::Write,
                session.m_context);
            QObject::connect(notifier, &QSocketNotifier::activated, session.m_context,
                             [&session, socket, event] { session.act(socket, event); });
        }
        if (notifier)
            notifier->setEnabled(wanted);
        if (notifier && what == CURL_POLL_REMOVE)
            notifier->deleteLater(); // may be the one whose signal is running
    }
    if (what == CURL_POLL_REMOVE)
        session.m_sockets.erase(socket);
    return 0;
}

// libcurl may close a connection after its transfer is gone, so this asks the live transfers
// whose connection it was.
int HttpSession::closeSocket(void* self, int socket)
{
    for (const auto& [easy, transfer] : static_cast<HttpSession*>(self)->m_transfers) {
        if (transfer->received.close(socket))
            break;
    }
    return ::close(socket);
}

int HttpSession::scheduleTimeout(void*, long timeoutMs, void* self)
{
    QTimer* const timer = static_cast<HttpSession*>(self)->m_timer;
    if (timeoutMs < 0)
        timer->stop();
    else
        timer->start(static_cast<int>(std::min(timeoutMs, 24L * 3600 * 1000)));
    return 0;
}
