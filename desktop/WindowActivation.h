#pragma once
// Brings a window that is open already to the front, as far as the desktop allows it. The token
// of the user's click that asked for it (from a notification server or a panel) is what lets a
// Wayland compositor (xdg-activation) or an X11 window manager's focus-stealing prevention (the
// time stamp in a startup id) grant that. Without a token, or where the desktop refuses, the
// window is marked as demanding attention, so the taskbar shows it.

class QString;
class QWidget;

namespace WindowActivation {

void bringToFront(QWidget* window, const QString& activationToken);

} // namespace WindowActivation
