#include "desktop/WindowActivation.h"

#include "desktop/DesktopLog.h"
#include "desktop/WaylandActivation.h"

#include <QApplication>
#include <QWidget>
#include <optional>
#include <qpa/qplatformnativeinterface.h>

namespace {

// The X server time of the click a startup id stands for: "..._TIME<time>".
std::optional<quint32> startupTime(const QString& startupId)
{
    const qsizetype at = startupId.lastIndexOf(u"_TIME");
    bool ok = false;
    const uint time = at < 0 ? 0 : startupId.mid(at + 5).toUInt(&ok);
    return ok ? std::optional<quint32>(time) : std::nullopt;
}

// Qt's X11 platform sends the time of the last user event with its activation request; the
// click's time is later than anything this program saw.
void setX11UserTime(QWidget* window, quint32 time)
{
    using SetTime = void (*)(QScreen*, quint32);
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    for (const char* name : {"setapptime", "setappusertime"}) {
        const auto function = reinterpret_cast<void (*)()>(
            native ? native->nativeResourceFunctionForIntegration(name) : nullptr);
        if (function)
            reinterpret_cast<SetTime>(function)(window->screen(), time);
    }
}

} // namespace

namespace WindowActivation {

void bringToFront(QWidget* window, const QString& activationToken)
{
    window->raise();
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(u"wayland")) {
        // Qt 6.4 asks the compositor only on behalf of a window that has the focus already.
        if (WaylandActivation* wayland = WaylandActivation::instance()) {
            qCDebug(lcDesktop) << "xdg-activation"
                               << (activationToken.isEmpty() ? "asks for attention"
                                                             : "with a token");
            wayland->activate(window->windowHandle(), activationToken);
            return;
        }
    } else if (platform == u"xcb") {
        if (const std::optional<quint32> time = startupTime(activationToken))
            setX11UserTime(window, *time);
    }
    window->activateWindow();
    // Cleared as soon as the window is active; it stays where the desktop refused.
    QApplication::alert(window);
}

} // namespace WindowActivation
