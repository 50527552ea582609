#pragma once
// The strict check that decides whether a text is a URL we may send. Qt's QUrl is lenient (it
// accepts non-ASCII, brackets in the query, a second '#', and lowercases hosts), so requests are
// vetted here instead and the text that passes is sent exactly as it stands.

#include <QString>

namespace UrlText {

// True when `text` is an absolute URL made only of RFC 3986 characters: a scheme, ':', and a
// remainder of unreserved, reserved and '%'-escape characters, every '%' followed by two hex
// digits, at most one '#'. Rejects the blank, the empty text after the scheme's colon being
// absent, non-ASCII and control characters.
bool isValid(const QString& text);

} // namespace UrlText
