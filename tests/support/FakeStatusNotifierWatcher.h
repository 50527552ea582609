#pragma once
// A panel's system tray on a test's bus, as Plasma or GNOME's AppIndicator run it: the
// StatusNotifierWatcher with a host, reading an item's properties and dbusmenu as the host does.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariant>

class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    // On a connection of its own: it closes the connection when it goes, as a panel that quits.
    explicit FakeStatusNotifierWatcher(QDBusConnection bus, QObject* parent = nullptr);
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
    QStringList m_items;
};
