#pragma once
// UTF-8 text as C libraries hand it out (libxml2's xmlChar is unsigned char): viewed in place,
// converted to QString only where a piece is kept.

#include <QString>
#include <algorithm>
#include <string_view>

namespace Utf8 {

// The NUL-terminated `text`; empty for a null pointer.
inline std::string_view view(const unsigned char* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace Utf8
