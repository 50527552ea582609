#pragma once
// One desktop notification: title (summary), informative text (body) and sound.

#include <QString>

class UserNotification {
public:
    // The freedesktop sound-theme name for an incoming message.
    static inline const QString defaultSoundName = QStringLiteral("message-new-instant");

    QString title;
    QString informativeText;
    // Empty: no sound.
    QString soundName;
    // The server's id once delivered; 0 before.
    quint32 identifier = 0;
};
