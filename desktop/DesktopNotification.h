#pragma once
// One desktop notification: summary, body, sound and what a click does, as
// org.freedesktop.Notifications has them.

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
    // The label of the click ("default" action), offered only by servers that show actions.
    // Empty: a click does nothing of ours.
    QString defaultAction;
};
