#include "ServiceEndpoints.h"

#include "UrlText.h"

#include <QHostAddress>
#include <QUrl>

namespace {

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
    if (url.host() == u"localhost")
        return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
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
