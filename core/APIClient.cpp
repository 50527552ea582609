#include "core/APIClient.h"

#include "core/AlarmFeedParser.h"
#include "core/CoreLog.h"
#include "core/ServiceEndpoints.h"
#include "net/HttpSession.h"
#include "net/UrlText.h"
#include "xml/XmlDocument.h"

#include <QUrl>

namespace {

Error clientError(const QString& message)
{
    return Error::withDescription(APIClient::errorDomain, 0, message);
}

const QString wrongUrl = QStringLiteral("Wrong url");

// `text` as a query component (RFC 3986): its UTF-8 bytes, every one outside the unreserved
// characters percent-encoded, so that '#', '&', '+', '%' and blanks reach the service as typed.
QString queryComponent(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// Sends a GET of `urlText` and hands a body of at most `maximumSize` bytes to `handle` on the
// main thread; every failure (transport, HTTP error status, a transfer without body) goes to
// `completion` instead. The debug output names the call (`what`) and its outcome, never the URL
// or the value: they hold the password and the GUID.
template <typename T, typename Handle>
void fetch(HttpSession& session, const char* what, const QString& urlText, qint64 maximumSize,
           std::function<void(Result<T>)> completion, Handle handle,
           HttpSession::Receiver receiver = {})
{
    qCDebug(lcCore) << what << "requested";
    completion = [what, completion = std::move(completion)](Result<T> result) {
        if (result.isSuccess())
            qCDebug(lcCore) << what << "succeeded";
        else
            qCDebug(lcCore) << what << "failed:" << result.error().domain()
                            << result.error().code();
        completion(std::move(result));
    };
    if (!UrlText::isValid(urlText)) {
        completion(Result<T>::failure(clientError(wrongUrl)));
        return;
    }
    session.get(
        urlText, maximumSize,
        [completion = std::move(completion),
         handle = std::move(handle)](HttpSession::Response response) {
            if (response.body)
                completion(handle(*response.body));
            else
                completion(Result<T>::failure(
                    response.error.value_or(HttpSession::transportError(HttpSession::NoBody))));
        },
        std::move(receiver));
}

} // namespace

APIClient& APIClient::sharedClient()
{
    // Never destroyed: a completion may still arrive while the program ends.
    static APIClient* const client = new APIClient();
    return *client;
}

APIClient::APIClient()
    : m_session(std::make_unique<HttpSession>())
{
    // Tests and benchmarks may shorten how long a request may take in all.
    bool ok = false;
    const int deadlineMs = qEnvironmentVariableIntValue("TOVO_HTTP_DEADLINE_MS", &ok);
    if (ok && deadlineMs > 0)
        m_session->setDeadline(std::chrono::milliseconds(deadlineMs));
}

APIClient::~APIClient() = default;

void APIClient::authenticate(const QString& email, const QString& password,
                             AuthenticateCompletion completion)
{
    const QString url = ServiceEndpoints::webBase() + QStringLiteral("/resolveGUID?email=") +
                        queryComponent(email) + QStringLiteral("&password=") +
                        queryComponent(password);
    fetch<QString>(*m_session, "sign-in", url, maximumSignInAnswerSize, std::move(completion),
                   parseGuid);
}

void APIClient::alarmFeed(const QString& guid, AlarmFeedCompletion completion)
{
    const QString url = ServiceEndpoints::feedBase() + QStringLiteral("/rssalarms?mac2&id=") + guid;
    // Parsed as it arrives; only an answer that completes without error yields its alarms.
    const auto parser = std::make_shared<AlarmFeedParser>(maximumFeedSize);
    fetch<AlarmList>(
        *m_session, "feed", url, maximumFeedSize, std::move(completion),
        [parser](const QByteArray&) {
            AlarmList alarms = parser->finish();
            qCDebug(lcCore) << "feed holds" << alarms.size() << "alarms";
            return Result<AlarmList>::success(std::move(alarms));
        },
        [parser](QByteArrayView bytes) { parser->append(bytes); });
}

AlarmList APIClient::parseAlarmFeed(const QByteArray& body)
{
    AlarmFeedParser parser(maximumFeedSize);
    parser.append(body);
    return parser.finish();
}

Result<QString> APIClient::parseGuid(const QByteArray& body)
{
    XmlDocument document(body, maximumSignInAnswerSize);
    if (const XmlElement root = document.rootElement(); root.hasName("guid")) {
        QString guid = document.text(root);
        if (document.isValid())
            return Result<QString>::success(std::move(guid));
    }
    return Result<QString>::failure(clientError(QStringLiteral("Error")));
}
