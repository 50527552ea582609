#pragma once
// Opening URLs on this desktop: the browser through QDesktopServices, our other programs through
// their org.freedesktop.Application object on the session bus.

#include "desktop/UrlOpener.h"

#include <QDBusConnection>

class DesktopUrlOpener : public UrlOpener {
public:
    explicit DesktopUrlOpener(QDBusConnection bus = QDBusConnection::sessionBus());

    bool openUrl(const QString& url) override;
    bool openUrls(const QStringList& urls, const QString& applicationId) override;

    // The program started when the bus can neither reach nor activate the application; empty
    // means the installed one (tests point it elsewhere).
    void setFallbackProgram(const QString& program);

private:
    QDBusConnection m_bus;
    QString m_fallbackProgram;
};
