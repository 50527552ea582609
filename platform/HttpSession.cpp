#include "HttpSession.h"

#include "MainQueue.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <memory>

namespace {

// The TLS settings of every request: peer verification on, and the system's CAs plus those of
// SSL_CERT_FILE (the OpenSSL convention, which Qt does not read by itself).
QSslConfiguration sslConfiguration()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    const QString bundle = qEnvironmentVariable("SSL_CERT_FILE");
    if (!bundle.isEmpty()) {
        const QList<QSslCertificate> extra = QSslCertificate::fromPath(bundle, QSsl::Pem);
        if (!extra.isEmpty()) {
            // Setting CAs explicitly turns off Qt's on-demand loading of the system's, so they
            // are listed here as well.
            configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() + extra);
        }
    }
    return configuration;
}

} // namespace

HttpSession& HttpSession::shared()
{
    static HttpSession session;
    return session;
}

void HttpSession::get(const QString& urlText, Completion completion)
{
    MainQueue::async([this, urlText, completion = std::move(completion)]() mutable {
        start(urlText, std::move(completion));
    });
}

void HttpSession::setInactivityTimeout(std::chrono::milliseconds timeout)
{
    m_timeoutMs = static_cast<int>(timeout.count());
}

std::chrono::milliseconds HttpSession::inactivityTimeout() const
{
    return std::chrono::milliseconds(m_timeoutMs.load());
}

Error HttpSession::transportError(TransportErrorCode code)
{
    switch (code) {
    case TimedOut:
        return Error::withDescription(transportErrorDomain, code,
                                      QStringLiteral("The request timed out"));
    case BodyTooLarge:
        return Error::withDescription(transportErrorDomain, code,
                                      QStringLiteral("The answer is too large"));
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

QNetworkAccessManager& HttpSession::manager()
{
    Q_ASSERT(MainQueue::isMainThread());
    if (!m_manager) {
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        m_manager = new QNetworkAccessManager();
        // Gone before the application object is: connections it still caches would otherwise
        // be closed after it, when Qt's TLS backend can no longer be looked up.
        qAddPostRoutine([] {
            delete shared().m_manager;
            shared().m_manager = nullptr;
        });
    }
    return *m_manager;
}

void HttpSession::start(const QString& urlText, Completion completion)
{
    static const QSslConfiguration ssl = sslConfiguration();

    // The text is plain ASCII by the URL check and every character of it reaches the request line
    // as given, with one exception QUrl imposes: escapes are normalised as RFC 3986 allows
    // (hex digits upper case, escaped unreserved characters decoded: "%7e" is sent as "~"), which
    // a server decodes to the same value.
    QNetworkRequest request(QUrl::fromEncoded(urlText.toLatin1(), QUrl::StrictMode));
    request.setSslConfiguration(ssl);
    request.setTransferTimeout(m_timeoutMs.load());

    QNetworkReply* reply = manager().get(request);
    auto tooLarge = std::make_shared<bool>(false);
    const auto checkSize = [reply, tooLarge](qint64 received, qint64 total) {
        if (!*tooLarge && (received > maximumBodySize || total > maximumBodySize)) {
            *tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, checkSize);
    // Qt rate-limits downloadProgress; readyRead comes with every chunk, so a fast sender cannot
    // get far past the limit between two progress reports.
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [reply, checkSize] { checkSize(reply->bytesAvailable(), -1); });
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [reply, tooLarge, completion = std::move(completion)] {
                         reply->deleteLater();
                         completion(responseOf(*reply, *tooLarge));
                     });
}

HttpSession::Response HttpSession::responseOf(QNetworkReply& reply, bool tooLarge)
{
    Response response;
    response.httpStatus = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (tooLarge) {
        response.error = transportError(BodyTooLarge);
    } else if (response.httpStatus >= 400) {
        // An error page is no answer: parsing it would turn an outage into "no alarms".
        response.error = httpError(response.httpStatus);
    } else if (reply.error() == QNetworkReply::OperationCanceledError ||
               reply.error() == QNetworkReply::TimeoutError) {
        // Only the inactivity timeout cancels a reply besides the size check above.
        response.error = transportError(TimedOut);
    } else if (reply.error() != QNetworkReply::NoError) {
        response.error =
            Error::withDescription(transportErrorDomain, reply.error(), reply.errorString());
    } else {
        response.body = reply.readAll();
    }
    return response;
}
