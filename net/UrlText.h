#pragma once
// The strict check that decides whether a text is a URL we may send. Qt's QUrl is lenient (it
// accepts non-ASCII, brackets in the query, a second '#', and lowercases hosts), so requests are
// vetted here instead and the text that passes is sent exactly as it stands.

#include <QString>

namespace UrlText {

// True when `text` is an absolute URL by the RFC 3986 grammar: a scheme, ':', an optional
// "//authority" (brackets only around an IP literal host, a numeric port), then path, '?' query
// and at most one '#' fragment made of unreserved, sub-delim, ':', '@', '/', '?' characters and
// '%' escapes of two hex digits. Rejects blanks, non-ASCII and control characters.
bool isValid(const QString& text);

} // namespace UrlText
