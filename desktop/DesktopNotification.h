#pragma once
// One desktop notification: summary, body and sound, as org.freedesktop.Notifications has them.

#include <QString>

class DesktopNotification {
public:
    // The freedesktop sound-theme name for an incoming message.
    static inline const QString defaultSoundName = QStringLiteral("message-new-instant");

    QString summary;
    QString body;
    // Empty: no sound.
    QString soundName;
    // The server's id once shown; 0 before.
    quint32 id = 0;
};
