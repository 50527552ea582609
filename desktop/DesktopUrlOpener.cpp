#include "desktop/DesktopUrlOpener.h"

#include "bus/ApplicationBus.h"
#include "net/UrlText.h"

#include <QDesktopServices>
#include <QUrl>

DesktopUrlOpener::DesktopUrlOpener(QDBusConnection bus)
    : m_bus(std::move(bus))
{}

bool DesktopUrlOpener::openUrl(const QString& url)
{
    if (!UrlText::isValid(url))
        return false;
    return QDesktopServices::openUrl(QUrl(url, QUrl::StrictMode));
}

bool DesktopUrlOpener::openUrls(const QStringList& urls, const QString& applicationId)
{
    for (const QString& url : urls) {
        if (!UrlText::isValid(url))
            return false;
    }
    const QString fallback = m_fallbackProgram.isEmpty()
                                 ? ApplicationBus::fallbackProgram(applicationId)
                                 : m_fallbackProgram;
    return ApplicationBus::openUrls(m_bus, urls, applicationId, fallback);
}

void DesktopUrlOpener::setFallbackProgram(const QString& program)
{
    m_fallbackProgram = program;
}
