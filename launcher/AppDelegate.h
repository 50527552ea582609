#pragma once
// The login launcher: started by XDG autostart, it hands "tovo://START" to the tray application
// (starting it through the bus when it is not running) and quits at once, without waiting.

#include <QObject>

class AppDelegate : public QObject {
    Q_OBJECT
public:
    static inline const QString startUrl = QStringLiteral("tovo://START");
    static inline const QString targetId = QStringLiteral("tovo.TOVO");

    using QObject::QObject;

    void applicationDidFinishLaunching();
    void applicationWillTerminate() {}
};
