#pragma once
// The login launcher: started by XDG autostart, it hands "tovo://START" to the tray application
// (starting it through the bus when it is not running) and quits as soon as the URL is
// delivered, without waiting for the tray application to finish launching.

#include "Identity.h"

#include <QObject>

class AppDelegate : public QObject {
    Q_OBJECT
public:
    static inline const QString startUrl = Identity::urlScheme + QStringLiteral("://START");
    static inline const QString targetId = Identity::trayId;

    using QObject::QObject;

    void applicationDidFinishLaunching();
    void applicationWillTerminate() {}
};
