#include "core/AlarmFeedParser.h"

#include "base/UnicodeText.h"
#include "base/Utf8.h"
#include "core/AlarmLevel.h"
#include "xml/XmlDocument.h"

namespace {

const QString feedExceptionAgent = QStringLiteral("T-O-VO Feed Exception");
const QString feedExceptionDescription =
    QStringLiteral("Please go to settings to set up your account");

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

// Where the channel's items are.
constexpr int itemDepth = 2;

} // namespace

AlarmFeedParser::AlarmFeedParser(qint64 textBudget)
    : m_document(std::make_unique<XmlDocument>(
          textBudget, keepFeedNode, [this](XmlElement element, int depth) {
              if (depth != itemDepth)
                  return;
              if (m_document->isValid())
                  m_alarms.append(alarmOf(*m_document, element, m_buffer));
              m_document->remove(element);
          }))
{}

AlarmFeedParser::~AlarmFeedParser() = default;

void AlarmFeedParser::append(QByteArrayView bytes)
{
    m_document->append(bytes);
    // A malformed document yields nothing: what it made so far goes at once.
    if (!m_document->isValid())
        m_alarms.clear();
}

AlarmList AlarmFeedParser::finish()
{
    m_document->finish();
    // Text beyond the budget makes the feed malformed, like any other.
    return m_document->isValid() ? std::move(m_alarms) : AlarmList();
}

bool AlarmFeedParser::isFeedException(const Alarm& alarm)
{
    return UnicodeText::equal(alarm.alarmAgent(), feedExceptionAgent);
}
