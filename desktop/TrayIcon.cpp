#include "desktop/TrayIcon.h"

#include "desktop/DesktopLog.h"
#include "desktop/TrayGlyph.h"
#include "desktop/TrayMenuItem.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <optional>

namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
// The first question waits this long at most, so the program knows whether it is in a tray.
constexpr int firstAnswerTimeoutMs = 1000;

QDBusMessage hostQuestion()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    return get;
}

bool isHost(const QDBusPendingReply<QDBusVariant>& reply)
{
    return !reply.isError() && reply.value().variant().toBool();
}
} // namespace

TrayIcon::TrayIcon(const QString& toolTip, QObject* parent)
    : QObject(parent)
    , m_menu(new QMenu())
    , m_toolTip(toolTip)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // A panel that starts later announces its watcher's name, or its host on a watcher already
    // there.
    auto* watcher = new QDBusServiceWatcher(watcherService, bus,
                                            QDBusServiceWatcher::WatchForRegistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayIcon::askForHost);
    bus.connect(watcherService, watcherPath, watcherService,
                QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(createTrayIcon()));
    // Answered at once by the bus when there is no watcher.
    hostAnswered(isHost(bus.call(hostQuestion(), QDBus::Block, firstAnswerTimeoutMs)));
}

TrayIcon::~TrayIcon()
{
    delete m_menu;
}

void TrayIcon::askForHost()
{
    auto* call =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(hostQuestion()), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        hostAnswered(isHost(*done));
    });
}

void TrayIcon::hostAnswered(bool host)
{
    m_host = m_host || host;
    // Only X11 has a tray without the bus.
    const bool xembed = QGuiApplication::platformName() == QLatin1String("xcb");
    qCDebug(lcDesktop) << "status notifier host:" << host << "XEmbed possible:" << xembed;
    if (host || xembed)
        createTrayIcon();
}

bool TrayIcon::isInTray() const
{
    // Once the icon is made, Qt's answer no longer decides which kind of tray it uses.
    return m_host || (m_trayIcon && QSystemTrayIcon::isSystemTrayAvailable());
}

void TrayIcon::createTrayIcon()
{
    if (m_trayIcon)
        return;
    m_trayIcon = new QSystemTrayIcon(this);
    // Shown by the panel on a right click (StatusNotifierItem), or at the pointer (XEmbed).
    m_trayIcon->setContextMenu(m_menu);
    m_trayIcon->setToolTip(m_toolTip);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason != QSystemTrayIcon::Trigger)
                    return;
                // Qt's StatusNotifierItem keeps the token that the panel sends just before the
                // click (ProvideXdgActivationToken) in the environment; it serves this click only.
                const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
                qunsetenv("XDG_ACTIVATION_TOKEN");
                Q_EMIT activated(token);
            });
    updateIcon();
}

void TrayIcon::addItem(TrayMenuItem* item)
{
    item->setParent(this);
    m_items.append(item);
    if (item->isSeparator()) {
        m_menu->addSeparator();
        return;
    }
    QAction* action = m_menu->addAction(item->title());
    sync(item, action);
    connect(item, &TrayMenuItem::changed, action, [this, item, action] { sync(item, action); });
    connect(action, &QAction::triggered, item, [this, item, action] {
        item->trigger();
        // A checkable QAction flips itself on a click; the model decides what it shows.
        sync(item, action);
    });
}

void TrayIcon::sync(TrayMenuItem* item, QAction* action)
{
    // QAction has no mixed state: mixed shows as an unchecked box with a dash beside it.
    action->setCheckable(item->hasState());
    action->setChecked(item->state() == TrayMenuItem::State::On);
    action->setIcon(item->state() == TrayMenuItem::State::Mixed
                        ? QIcon::fromTheme(QStringLiteral("list-remove-symbolic"))
                        : QIcon());
}

namespace {
// Whether the image of `name` is the inverted glyph; none for an unknown name.
std::optional<bool> invertedGlyph(const QString& name)
{
    if (name == u"StatusItem")
        return false;
    if (name == u"StatusItem_i")
        return true;
    return std::nullopt;
}
} // namespace

QIcon TrayIcon::imageIcon(const QString& name, bool muted)
{
    const std::optional<bool> inverted = invertedGlyph(name);
    return inverted ? QIcon(new TrayGlyph(*inverted, *inverted, muted)) : QIcon();
}

void TrayIcon::setImage(const QString& name)
{
    m_image = name;
    updateIcon();
}

void TrayIcon::setAlternateImage(const QString& name)
{
    m_alternateImage = name;
    updateIcon();
}

void TrayIcon::setToolTip(const QString& toolTip)
{
    m_toolTip = toolTip;
    if (m_trayIcon)
        m_trayIcon->setToolTip(toolTip);
}

void TrayIcon::setMuted(bool muted)
{
    // Only a change is sent: a panel redraws the item for every new icon.
    if (muted == m_muted)
        return;
    m_muted = muted;
    updateIcon();
}

void TrayIcon::updateIcon()
{
    if (!m_trayIcon)
        return;
    // One icon: the image for the normal look, the alternate one while the item is highlighted.
    const std::optional<bool> image = invertedGlyph(m_image);
    const std::optional<bool> alternate = invertedGlyph(m_alternateImage);
    QIcon icon;
    if (image || alternate)
        icon = QIcon(
            new TrayGlyph(image ? *image : *alternate, alternate ? *alternate : *image, m_muted));
    m_trayIcon->setIcon(icon);
    // Shown once there is something to show; Qt places it when a tray appears later.
    if (!icon.isNull())
        m_trayIcon->show();
}
