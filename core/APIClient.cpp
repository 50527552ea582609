#include "APIClient.h"

#include "platform/HttpSession.h"
#include "platform/ServiceEndpoints.h"
#include "platform/UnicodeText.h"
#include "platform/UrlText.h"
#include "platform/XmlDocument.h"

namespace {

Error clientError(const QString& message)
{
    return Error::withDescription(APIClient::errorDomain, 0, message);
}

const QString wrongUrl = QStringLiteral("Wrong url");
const QString feedExceptionAgent = QStringLiteral("T-O-VO Feed Exception");
const QString feedExceptionDescription =
    QStringLiteral("Please go to settings to set up your account");

// Sends a GET of `urlText` and hands the body to `handle` on the main thread; every failure
// (transport, HTTP error status, a transfer without body) goes to `completion` instead.
template <typename T, typename Handle>
void fetch(const QString& urlText, std::function<void(Result<T>)> completion, Handle handle)
{
    if (!UrlText::isValid(urlText)) {
        completion(Result<T>::failure(clientError(wrongUrl)));
        return;
    }
    HttpSession::shared().get(
        urlText, [completion = std::move(completion),
                  handle = std::move(handle)](HttpSession::Response response) {
            if (response.error)
                completion(Result<T>::failure(*response.error));
            else if (!response.body)
                completion(Result<T>::failure(HttpSession::transportError(HttpSession::NoBody)));
            else
                completion(handle(*response.body));
        });
}

// The text before the first `separator` (all of it when there is none).
QStringView firstPart(QStringView text, QStringView separator)
{
    const qsizetype at = text.indexOf(separator);
    return at < 0 ? text : text.first(at);
}

// The text after the last `separator` (all of it when there is none).
QStringView lastPart(QStringView text, QStringView separator)
{
    const qsizetype at = text.lastIndexOf(separator);
    return at < 0 ? text : text.sliced(at + separator.size());
}

AlarmPtr alarmOf(const XmlElement& item)
{
    static constexpr QStringView lineBreak = u"<br>";
    static constexpr QStringView resourceMark = u"Resource: ";
    static constexpr QStringView titleSeparator = u": ";

    QString resource;
    QString description;
    if (const XmlElement element = item.firstChildElement("description"); !element.isNull()) {
        const QString text = element.text();
        const QStringView pieces(text);
        const qsizetype firstBreak = pieces.indexOf(lineBreak);
        resource =
            lastPart(firstBreak < 0 ? pieces : pieces.first(firstBreak), resourceMark).toString();
        if (firstBreak >= 0) {
            const QStringView second =
                firstPart(pieces.sliced(firstBreak + lineBreak.size()), lineBreak);
            description = firstPart(second, u"\n").toString();
        }
    }
    QString agent;
    QString level;
    if (const XmlElement element = item.firstChildElement("title"); !element.isNull()) {
        const QString text = element.text();
        agent = firstPart(text, titleSeparator).toString();
        level = lastPart(text, titleSeparator).toString();
    }
    if (description.isEmpty() && UnicodeText::equal(agent, feedExceptionAgent))
        description = feedExceptionDescription;
    return std::make_shared<Alarm>(std::move(agent), std::move(resource), std::move(description),
                                   std::move(level), AlarmType::Alarm,
                                   item.firstChildElement("guid").text());
}

} // namespace

APIClient& APIClient::sharedClient()
{
    static APIClient client;
    return client;
}

void APIClient::authenticate(const QString& email, const QString& password,
                             AuthenticateCompletion completion)
{
    const QString url = ServiceEndpoints::webBase() + QStringLiteral("/resolveGUID?email=") +
                        email + QStringLiteral("&password=") + password;
    fetch<QString>(url, std::move(completion), [](const QByteArray& body) {
        const XmlDocument document(body);
        const XmlElement root = document.rootElement();
        if (root.isNull() || !root.hasName("guid"))
            return Result<QString>::failure(clientError(QStringLiteral("Error")));
        return Result<QString>::success(root.text());
    });
}

void APIClient::alarmFeed(const QString& guid, AlarmFeedCompletion completion)
{
    const QString url = ServiceEndpoints::feedBase() + QStringLiteral("/rssalarms?mac2&id=") + guid;
    fetch<AlarmList>(url, std::move(completion), [](const QByteArray& body) {
        return Result<AlarmList>::success(parseAlarmFeed(body));
    });
}

AlarmList APIClient::parseAlarmFeed(const QByteArray& body)
{
    AlarmList alarms;
    const XmlDocument document(body);
    const XmlElement channel = document.rootElement().firstChildElement("channel");
    for (XmlElement item = channel.firstChildElement("item"); !item.isNull();
         item = item.nextSiblingElement("item"))
        alarms.append(alarmOf(item));
    return alarms;
}
