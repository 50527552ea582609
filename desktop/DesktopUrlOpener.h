#pragma once
// Opening URLs on this desktop: the browser through QDesktopServices, our other programs through
// their org.freedesktop.Application object on the session bus.

#include "desktop/UrlOpener.h"

#include <QDBusConnection>
#include <QHash>

class DesktopUrlOpener : public UrlOpener {
public:
    explicit DesktopUrlOpener(QDBusConnection bus = QDBusConnection::sessionBus());

    bool openUrl(const QString& url) override;
    bool openUrls(const QStringList& urls, const QString& applicationId) override;
    bool activate(const QString& applicationId, const QString& activationToken) override;

    // The program started for `applicationId` when the bus can neither reach nor activate it:
    // the file `name`, looked for in `folders` and on PATH at every hand-over
    // (ApplicationBus::findProgram). Without one nothing is started.
    void addFallbackProgram(const QString& applicationId, const QString& name,
                            const QStringList& folders = {});

private:
    QString fallbackProgram(const QString& applicationId) const;

    struct Program {
        QString name;
        QStringList folders;
    };

    QDBusConnection m_bus;
    QHash<QString, Program> m_fallbackPrograms;
};
