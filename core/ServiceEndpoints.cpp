#include "core/ServiceEndpoints.h"

#include "net/UrlText.h"

#include <QUrl>
#include <algorithm>

namespace {

// QUrl gives IP addresses in canonical form: IPv4 as four decimal numbers, IPv6 compressed.
bool isLoopback(const QString& host)
{
    if (host == u"localhost" || host == u"::1")
        return true;
    if (host.startsWith(u"::ffff:")) // IPv4-mapped
        return isLoopback(host.mid(7));
    const QStringList parts = host.split(u'.');
    return parts.size() == 4 && parts.first() == u"127" &&
           std::all_of(parts.begin(), parts.end(), [](const QString& part) {
               const bool digits = !part.isEmpty() && part.size() <= 3 &&
                                   std::all_of(part.begin(), part.end(),
                                               [](QChar c) { return c >= u'0' && c <= u'9'; });
               return digits && part.toInt() <= 255;
           });
}

// An override is taken only when it cannot send credentials in clear text to another machine:
// https anywhere, plain http only to this machine.
bool isAcceptableOverride(const QByteArray& value)
{
    const QString text = QString::fromUtf8(value);
    if (!UrlText::isValid(text) || text.endsWith(u'/'))
        return false;
    const QUrl url = QUrl::fromEncoded(value, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.path().isEmpty() || url.hasQuery() ||
        url.hasFragment() || !url.userInfo().isEmpty())
        return false;
    if (url.scheme() == u"https")
        return true;
    if (url.scheme() != u"http")
        return false;
    return isLoopback(url.host());
}

QString endpoint(const char* variable, const char* builtIn)
{
    const QByteArray value = qgetenv(variable);
    if (!value.isEmpty() && isAcceptableOverride(value))
        return QString::fromLatin1(value);
    return QString::fromLatin1(builtIn);
}

} // namespace

namespace ServiceEndpoints {

QString webBase()
{
    return endpoint("TOVO_WEB_BASE", TOVO_BUILD_WEB_BASE);
}
QString feedBase()
{
    return endpoint("TOVO_FEED_BASE", TOVO_BUILD_FEED_BASE);
}

} // namespace ServiceEndpoints
