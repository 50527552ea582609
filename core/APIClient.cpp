#include "core/APIClient.h"

#include "base/UnicodeText.h"
#include "base/Utf8.h"
#include "core/AlarmLevel.h"
#include "core/CoreLog.h"
#include "core/ServiceEndpoints.h"
#include "net/HttpSession.h"
#include "net/UrlText.h"
#include "xml/XmlDocument.h"

namespace {

Error clientError(const QString& message)
{
    return Error::withDescription(APIClient::errorDomain, 0, message);
}

const QString wrongUrl = QStringLiteral("Wrong url");
const QString feedExceptionAgent = QStringLiteral("T-O-VO Feed Exception");
const QString feedExceptionDescription =
    QStringLiteral("Please go to settings to set up your account");

// Sends a GET of `urlText` and hands a body of at most `maximumSize` bytes to `handle` on the
// main thread; every failure (transport, HTTP error status, a transfer without body) goes to
// `completion` instead. The debug output names the call (`what`) and its outcome, never the URL
// or the value: they hold the password and the GUID.
template <typename T, typename Handle>
void fetch(HttpSession& session, const char* what, const QString& urlText, qint64 maximumSize,
           std::function<void(Result<T>)> completion, Handle handle)
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
    session.get(urlText, maximumSize,
                [completion = std::move(completion),
                 handle = std::move(handle)](HttpSession::Response response) {
                    if (response.body)
                        completion(handle(*response.body));
                    else
                        completion(Result<T>::failure(response.error.value_or(
                            HttpSession::transportError(HttpSession::NoBody))));
                });
}

// The feed is cut into pieces on its UTF-8 bytes: the separators are ASCII, so they cannot match
// inside a multi-byte character, and only the pieces kept are converted.
// The text before the first `separator` (all of it when there is none).
std::string_view firstPart(std::string_view text, std::string_view separator)
{
    return text.substr(0, text.find(separator));
}

// The text after the last `separator` (all of it when there is none). Looks for the separator's
// first byte only: rfind of the whole separator compares at every position of a long text.
std::string_view lastPart(std::string_view text, std::string_view separator)
{
    for (std::size_t end = text.size(); end > 0;) {
        const std::size_t at = text.rfind(separator.front(), end - 1);
        if (at == std::string_view::npos)
            break;
        if (text.substr(at).starts_with(separator))
            return text.substr(at + separator.size());
        end = at;
    }
    return text;
}

// The level words repeat from item to item: the known ones share one string each.
QString levelOf(std::string_view text)
{
    if (const std::optional<AlarmLevel> level = levelOfUtf8(text))
        return levelWord(*level);
    return Utf8::toQString(text);
}

AlarmPtr alarmOf(XmlDocument& document, const XmlElement& item, std::string& buffer)
{
    static constexpr std::string_view lineBreak = "<br>";
    static constexpr std::string_view resourceMark = "Resource: ";
    static constexpr std::string_view titleSeparator = ": ";

    QString resource;
    QString description;
    if (const XmlElement element = item.firstChildElement("description"); !element.isNull()) {
        const std::string_view text = document.utf8Text(element, buffer);
        const std::size_t firstBreak = text.find(lineBreak);
        resource = Utf8::toQString(lastPart(text.substr(0, firstBreak), resourceMark));
        if (firstBreak != std::string_view::npos) {
            const std::string_view second =
                firstPart(text.substr(firstBreak + lineBreak.size()), lineBreak);
            description = Utf8::toQString(firstPart(second, "\n"));
        }
    }
    QString agent;
    QString level;
    if (const XmlElement element = item.firstChildElement("title"); !element.isNull()) {
        const std::string_view text = document.utf8Text(element, buffer);
        agent = Utf8::toQString(firstPart(text, titleSeparator));
        // A title without separator is both, converted once.
        const std::string_view levelText = lastPart(text, titleSeparator);
        level = levelText.size() == text.size() ? agent : levelOf(levelText);
    }
    if (description.isEmpty() && UnicodeText::equal(agent, feedExceptionAgent))
        description = feedExceptionDescription;
    return std::make_shared<Alarm>(
        std::move(agent), std::move(resource), std::move(description), std::move(level),
        AlarmType::Alarm,
        Utf8::toQString(document.utf8Text(item.firstChildElement("guid"), buffer)));
}

// The parts of a feed that alarms are made of: the root, its first "channel", the channel's
// items, each item's first "title", "description" and "guid", and everything inside those.
bool keepFeedNode(XmlElement parent, int depth, std::string_view name)
{
    const auto firstOf = [&](std::string_view wanted) {
        return XmlElement::namesEqual(name, wanted) && parent.firstChildElement(wanted).isNull();
    };
    switch (depth) {
    case 0:
        return !name.empty();
    case 1:
        return firstOf("channel");
    case 2:
        return XmlElement::namesEqual(name, "item");
    case 3:
        return firstOf("title") || firstOf("description") || firstOf("guid");
    default:
        return true;
    }
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
                        email + QStringLiteral("&password=") + password;
    fetch<QString>(*m_session, "sign-in", url, maximumSignInAnswerSize, std::move(completion),
                   parseGuid);
}

void APIClient::alarmFeed(const QString& guid, AlarmFeedCompletion completion)
{
    const QString url = ServiceEndpoints::feedBase() + QStringLiteral("/rssalarms?mac2&id=") + guid;
    fetch<AlarmList>(*m_session, "feed", url, maximumFeedSize, std::move(completion),
                     [](const QByteArray& body) {
                         AlarmList alarms = parseAlarmFeed(body);
                         qCDebug(lcCore) << "feed of" << body.size() << "bytes holds"
                                         << alarms.size() << "alarms";
                         return Result<AlarmList>::success(std::move(alarms));
                     });
}

AlarmList APIClient::parseAlarmFeed(const QByteArray& body)
{
    AlarmList alarms;
    XmlDocument document(body, maximumFeedSize, keepFeedNode);
    const XmlElement channel = document.rootElement().firstChildElement("channel");
    std::string buffer;
    for (XmlElement item = channel.firstChildElement("item"); !item.isNull() && document.isValid();
         item = item.nextSiblingElement("item"))
        alarms.append(alarmOf(document, item, buffer));
    // Text beyond the budget makes the feed malformed, like any other.
    return document.isValid() ? alarms : AlarmList();
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
