#include "net/UrlText.h"

namespace {

bool isAlpha(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}
bool isHex(char16_t c)
{
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
bool isUnreserved(char16_t c)
{
    return isAlpha(c) || isDigit(c) || c == u'-' || c == u'.' || c == u'_' || c == u'~';
}
bool isSubDelim(char16_t c)
{
    return c == u'!' || c == u'$' || c == u'&' || c == u'\'' || c == u'(' || c == u')' ||
           c == u'*' || c == u'+' || c == u',' || c == u';' || c == u'=';
}

// Every character of `text` must be in the class `allowed` or start a complete percent escape.
template <typename Allowed> bool scan(QStringView text, Allowed allowed)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1].unicode()) ||
                !isHex(text[i + 2].unicode()))
                return false;
            i += 2;
        } else if (!allowed(c)) {
            return false;
        }
    }
    return true;
}

bool isPchar(char16_t c)
{
    return isUnreserved(c) || isSubDelim(c) || c == u':' || c == u'@';
}
bool isQueryChar(char16_t c)
{
    return isPchar(c) || c == u'/' || c == u'?';
}

bool isValidIpLiteral(QStringView inner)
{
    if (inner.isEmpty())
        return false;
    if (inner[0] == u'v' || inner[0] == u'V') { // IPvFuture: "v" 1*HEXDIG "." 1*(...)
        const qsizetype dot = inner.indexOf(u'.');
        if (dot < 2)
            return false;
        for (qsizetype i = 1; i < dot; ++i) {
            if (!isHex(inner[i].unicode()))
                return false;
        }
        const QStringView rest = inner.sliced(dot + 1);
        if (rest.isEmpty())
            return false;
        for (const QChar c : rest) {
            if (!isUnreserved(c.unicode()) && !isSubDelim(c.unicode()) && c != u':')
                return false;
        }
        return true;
    }
    for (const QChar c : inner) {
        if (!isHex(c.unicode()) && c != u':' && c != u'.')
            return false;
    }
    return inner.contains(u':');
}

bool isValidAuthority(QStringView authority)
{
    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0) {
        const auto userInfoChar = [](char16_t c) {
            return isUnreserved(c) || isSubDelim(c) || c == u':';
        };
        if (!scan(authority.first(at), userInfoChar))
            return false;
        authority = authority.sliced(at + 1);
    }
    QStringView port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0 || !isValidIpLiteral(authority.sliced(1, close - 1)))
            return false;
        const QStringView after = authority.sliced(close + 1);
        if (!after.isEmpty()) {
            if (after[0] != u':')
                return false;
            port = after.sliced(1);
        }
    } else {
        const qsizetype colon = authority.indexOf(u':');
        const QStringView host = colon < 0 ? authority : authority.first(colon);
        const auto regNameChar = [](char16_t c) { return isUnreserved(c) || isSubDelim(c); };
        if (!scan(host, regNameChar))
            return false;
        if (colon >= 0)
            port = authority.sliced(colon + 1);
    }
    for (const QChar c : port) {
        if (!isDigit(c.unicode()))
            return false;
    }
    return true;
}

} // namespace

namespace UrlText {

bool isValid(const QString& text)
{
    QStringView rest(text);
    const qsizetype colon = rest.indexOf(u':');
    if (colon <= 0 || !isAlpha(rest[0].unicode()))
        return false;
    for (const QChar c : rest.first(colon)) {
        const char16_t u = c.unicode();
        if (!isAlpha(u) && !isDigit(u) && u != u'+' && u != u'-' && u != u'.')
            return false;
    }
    rest = rest.sliced(colon + 1);

    // Fragment first: at most one '#', and what follows it has the query's characters.
    const qsizetype hash = rest.indexOf(u'#');
    if (hash >= 0) {
        if (!scan(rest.sliced(hash + 1), isQueryChar))
            return false;
        rest = rest.first(hash);
    }
    const qsizetype question = rest.indexOf(u'?');
    if (question >= 0) {
        if (!scan(rest.sliced(question + 1), isQueryChar))
            return false;
        rest = rest.first(question);
    }
    if (rest.startsWith(u"//")) {
        rest = rest.sliced(2);
        qsizetype slash = rest.indexOf(u'/');
        if (slash < 0)
            slash = rest.size();
        if (!isValidAuthority(rest.first(slash)))
            return false;
        rest = rest.sliced(slash);
    }
    return scan(rest, [](char16_t c) { return isPchar(c) || c == u'/'; });
}

} // namespace UrlText
