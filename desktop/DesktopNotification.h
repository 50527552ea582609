#pragma once
// One desktop notification: summary, body, sound, urgency, image and what a click does, as
// org.freedesktop.Notifications has them.

#include <QImage>
#include <QString>

class DesktopNotification {
public:
    // The freedesktop sound-theme name for an incoming message.
    static inline const QString defaultSoundName = QStringLiteral("message-new-instant");
    // The values of the "urgency" hint. Servers sort and keep notifications by it: a critical one
    // stays until the user dismisses it.
    enum class Urgency : uchar { Low = 0, Normal = 1, Critical = 2 };

    QString summary;
    QString body;
    // Empty: no sound.
    QString soundName;
    // The server's id once shown; 0 before.
    quint32 id = 0;
    // The label of the click ("default" action), offered only by servers that show actions.
    // Empty: a click does nothing of ours.
    QString defaultAction;
    Urgency urgency = Urgency::Normal;
    // Shown beside the texts (hint "image-data"); a null image: none.
    QImage image;
    // What the server handed over with the click (signal ActivationToken): it lets the window the
    // click opens come to the front. Empty until then, and where the server sends none.
    QString activationToken;
};
