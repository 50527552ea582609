#include "desktop/TrayIcon.h"

#include "desktop/TrayMenuItem.h"

#include <QFile>
#include <QMenu>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(const QString& toolTip, QObject* parent)
    : QObject(parent)
    , m_menu(new QMenu())
    , m_trayIcon(new QSystemTrayIcon(this))
{
    m_trayIcon->setContextMenu(m_menu);
    m_trayIcon->setToolTip(toolTip);
    // A left click shows the menu as well: the icon has nothing else to offer.
    connect(m_trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    m_menu->popup(m_trayIcon->geometry().bottomLeft());
            });
}

TrayIcon::~TrayIcon()
{
    delete m_menu;
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
// Empty when there is no such image.
QString imagePath(const QString& name)
{
    const QString path = QStringLiteral(":/images/") + name + QStringLiteral(".svg");
    return !name.isEmpty() && QFile::exists(path) ? path : QString();
}
} // namespace

QIcon TrayIcon::imageIcon(const QString& name)
{
    const QString path = imagePath(name);
    return path.isEmpty() ? QIcon() : QIcon(path);
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

void TrayIcon::updateIcon()
{
    // One icon: the image for the normal look, the alternate one while the item is highlighted.
    QIcon icon;
    const QString image = imagePath(m_image);
    const QString alternate = imagePath(m_alternateImage);
    if (!image.isEmpty())
        icon.addFile(image, {}, QIcon::Normal);
    if (!alternate.isEmpty()) {
        icon.addFile(alternate, {}, QIcon::Active);
        icon.addFile(alternate, {}, QIcon::Selected);
    }
    m_trayIcon->setIcon(icon);
    // Shown once there is something to show; Qt places it when a tray appears later.
    if (!icon.isNull())
        m_trayIcon->show();
}
