#include "core/SettingsItem.h"

#include "base/SettingsFile.h"
#include "base/UnicodeText.h"

#include <charconv>

namespace {

// A whole decimal integer: optional sign, one or more ASCII digits, nothing else, in range.
std::optional<qint64> parseInteger(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    if (begin != end && *begin == '+') {
        ++begin;
        // from_chars takes no '+'; a second sign after it must still fail.
        if (begin != end && *begin == '-')
            return std::nullopt;
    }
    qint64 number = 0;
    const auto [last, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || last != end || begin == end)
        return std::nullopt;
    return number;
}

} // namespace

SettingsItem::SettingsItem(QString key, SettingsValue defaultValue, SettingsFile& file)
    : m_file(file)
    , m_key(std::move(key))
    , m_value(read(defaultValue))
{}

bool SettingsItem::setValue(const SettingsValue& value)
{
    const QString text = textForm(value);
    if (UnicodeText::equal(text, textForm(m_value)))
        return true;
    m_file.setString(m_key, text);
    // Kept only once it is in the file: otherwise storing the same value again would skip the
    // write.
    if (!m_file.sync())
        return false;
    m_value = value;
    return true;
}

SettingsValue SettingsItem::read(const SettingsValue& defaultValue) const
{
    const std::optional<QString> stored = m_file.string(m_key);
    if (!stored)
        return defaultValue;
    if (std::holds_alternative<QString>(defaultValue))
        return *stored;
    if (const std::optional<qint64> number = parseInteger(*stored))
        return *number;
    return *stored == u"true";
}
