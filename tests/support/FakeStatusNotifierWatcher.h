#pragma once
// A panel's system tray on a test's bus, as KDE Plasma or GNOME's AppIndicator extension run it:
// owns org.kde.StatusNotifierWatcher with a host registered, keeps the StatusNotifierItems that
// register (announcing each, and dropping it when its owner leaves the bus), and reads an item's
// properties and its com.canonical.dbusmenu menu as the host does.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>

class QDBusServiceWatcher;

class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit FakeStatusNotifierWatcher(QDBusConnection bus, QObject* parent = nullptr);
    // Leaves the bus, as a panel that quits.
    ~FakeStatusNotifierWatcher() override;

    bool registerOnBus();

    // "<bus name>/<object path>" of each registered item, in order.
    QStringList items() const { return m_items; }
    bool isStatusNotifierHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    // An org.kde.StatusNotifierItem property of `item`.
    QVariant itemProperty(const QString& item, const QString& name) const;
    // The largest IconPixmap of `item`: width, height and ARGB32 pixels in network byte order.
    struct Pixmap {
        int width = 0;
        int height = 0;
        QByteArray argb;
    };
    Pixmap iconPixmap(const QString& item) const;
    // The title of the item's ToolTip, which a host shows over the icon.
    QString toolTip(const QString& item) const;
    // The top level of the item's menu: labels, "-" for a separator, "[x] " or "[ ] " before a
    // checkable entry.
    QStringList menu(const QString& item) const;
    // Sends the "clicked" event for the entry labelled `label`; false when there is none.
    bool click(const QString& item, const QString& label) const;
    // A left click on the icon, after the token for the window it brings up, as Plasma sends it.
    void activate(const QString& item, const QString& activationToken) const;

public Q_SLOTS:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service,
                                                 const QDBusMessage& message);

Q_SIGNALS:
    Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString& item);
    Q_SCRIPTABLE void StatusNotifierItemUnregistered(const QString& item);
    Q_SCRIPTABLE void StatusNotifierHostRegistered();

private:
    struct Entry {
        int id = 0;
        QString text;
    };
    QList<Entry> menuEntries(const QString& item) const;
    QDBusMessage callItem(const QString& item, const QString& path, const QString& interface,
                          const QString& method, const QVariantList& arguments) const;

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_owners;
    QStringList m_items;
    bool m_registered = false;
};
