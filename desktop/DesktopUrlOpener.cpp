#include "desktop/DesktopUrlOpener.h"

#include "bus/ApplicationBus.h"
#include "desktop/DesktopLog.h"
#include "net/UrlText.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

DesktopUrlOpener::DesktopUrlOpener(QDBusConnection bus)
    : m_bus(std::move(bus))
{}

bool DesktopUrlOpener::openUrl(const QString& url)
{
    const bool opened =
        UrlText::isValid(url) && QDesktopServices::openUrl(QUrl(url, QUrl::StrictMode));
    qCDebug(lcDesktop) << "URL for the browser" << (opened ? "opened" : "not opened");
    return opened;
}

bool DesktopUrlOpener::openUrls(const QStringList& urls, const QString& applicationId)
{
    for (const QString& url : urls) {
        if (!UrlText::isValid(url)) {
            qCDebug(lcDesktop) << "not handed to" << applicationId << ": not a URL";
            return false;
        }
    }
    return ApplicationBus::openUrls(m_bus, urls, applicationId, fallbackProgram(applicationId));
}

bool DesktopUrlOpener::activate(const QString& applicationId, const QString& activationToken)
{
    // The token a notification server or a panel hands over is an xdg-activation token on
    // Wayland and a startup id on X11; the program may run on either, so it gets both names.
    QVariantMap platformData;
    if (!activationToken.isEmpty()) {
        platformData.insert(ApplicationBus::activationTokenKey, activationToken);
        if (QGuiApplication::platformName() == u"xcb")
            platformData.insert(ApplicationBus::startupIdKey, activationToken);
    }
    return ApplicationBus::activate(m_bus, applicationId, fallbackProgram(applicationId),
                                    platformData);
}

QString DesktopUrlOpener::fallbackProgram(const QString& applicationId) const
{
    const auto program = m_fallbackPrograms.constFind(applicationId);
    return program == m_fallbackPrograms.cend()
               ? QString()
               : ApplicationBus::findProgram(program->name, program->folders);
}

void DesktopUrlOpener::addFallbackProgram(const QString& applicationId, const QString& name,
                                          const QStringList& folders)
{
    m_fallbackPrograms.insert(applicationId, {name, folders});
}
