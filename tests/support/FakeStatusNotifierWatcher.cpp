#include "FakeStatusNotifierWatcher.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{}

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher()
{
    QDBusConnection::disconnectFromBus(m_bus.name());
}

bool FakeStatusNotifierWatcher::registerOnBus()
{
    const bool registered = m_bus.registerObject(watcherPath, this,
                                                 QDBusConnection::ExportScriptableSlots |
                                                     QDBusConnection::ExportScriptableSignals |
                                                     QDBusConnection::ExportAllProperties) &&
                            m_bus.registerService(watcherService);
    if (registered)
        Q_EMIT StatusNotifierHostRegistered();
    return registered;
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service,
                                                           const QDBusMessage& message)
{
    // Either a bus name (the item at the usual path) or a path on the caller's connection.
    const bool isPath = service.startsWith(u'/');
    const QString name = isPath ? message.service() : service;
    const QString item = name + (isPath ? service : QStringLiteral("/StatusNotifierItem"));
    if (m_items.contains(item))
        return;
    m_items.append(item);
    Q_EMIT StatusNotifierItemRegistered(item);
}

QDBusMessage FakeStatusNotifierWatcher::callItem(const QString& item, const QString& path,
                                                 const QString& interface, const QString& method,
                                                 const QVariantList& arguments) const
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(item.section(u'/', 0, 0), path, interface, method);
    call.setArguments(arguments);
    return m_bus.call(call);
}

void FakeStatusNotifierWatcher::activate(const QString& item, const QString& activationToken) const
{
    const QString path = u'/' + item.section(u'/', 1);
    callItem(item, path, itemInterface, QStringLiteral("ProvideXdgActivationToken"),
             {activationToken});
    callItem(item, path, itemInterface, QStringLiteral("Activate"), {0, 0});
}

QVariant FakeStatusNotifierWatcher::itemProperty(const QString& item, const QString& name) const
{
    const QDBusMessage reply = callItem(item, u'/' + item.section(u'/', 1),
                                        QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {itemInterface, name});
    return reply.arguments().isEmpty()
               ? QVariant()
               : reply.arguments().constFirst().value<QDBusVariant>().variant();
}

FakeStatusNotifierWatcher::Pixmap FakeStatusNotifierWatcher::iconPixmap(const QString& item) const
{
    Pixmap largest;
    const auto pixmaps = itemProperty(item, QStringLiteral("IconPixmap")).value<QDBusArgument>();
    pixmaps.beginArray();
    while (!pixmaps.atEnd()) {
        Pixmap pixmap;
        pixmaps.beginStructure();
        pixmaps >> pixmap.width >> pixmap.height >> pixmap.argb;
        pixmaps.endStructure();
        if (pixmap.width * pixmap.height > largest.width * largest.height)
            largest = pixmap;
    }
    pixmaps.endArray();
    return largest;
}

QString FakeStatusNotifierWatcher::toolTip(const QString& item) const
{
    // (sa(iiay)ss): icon name, icon pixmaps, title, description.
    const auto tip = itemProperty(item, QStringLiteral("ToolTip")).value<QDBusArgument>();
    QString iconName, title;
    tip.beginStructure();
    tip >> iconName;
    tip.asVariant(); // the pixmaps
    tip >> title;
    return title;
}

QList<FakeStatusNotifierWatcher::Entry>
FakeStatusNotifierWatcher::menuEntries(const QString& item) const
{
    const QString path = itemProperty(item, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    // A host asks before it shows the menu, and the item may fill it then.
    callItem(item, path, menuInterface, QStringLiteral("AboutToShow"), {0});
    const QDBusMessage reply =
        callItem(item, path, menuInterface, QStringLiteral("GetLayout"), {0, 1, QStringList()});
    QList<Entry> entries;
    if (reply.arguments().size() != 2)
        return entries;
    // (ia{sv}av): the root, whose children are the entries.
    const auto root = reply.arguments().at(1).value<QDBusArgument>();
    int rootId = 0;
    QVariantMap rootProperties;
    root.beginStructure();
    root >> rootId >> rootProperties;
    root.beginArray();
    while (!root.atEnd()) {
        QDBusVariant child;
        root >> child;
        const auto node = child.variant().value<QDBusArgument>();
        Entry entry;
        QVariantMap properties;
        node.beginStructure();
        node >> entry.id >> properties;
        node.endStructure();
        if (!properties.value(QStringLiteral("visible"), true).toBool())
            continue;
        if (properties.value(QStringLiteral("type")) == QStringLiteral("separator")) {
            entry.text = QStringLiteral("-");
        } else {
            entry.text = properties.value(QStringLiteral("label")).toString();
            if (properties.value(QStringLiteral("toggle-type")) == QStringLiteral("checkmark")) {
                entry.text.prepend(properties.value(QStringLiteral("toggle-state")).toInt() == 1
                                       ? QStringLiteral("[x] ")
                                       : QStringLiteral("[ ] "));
            }
        }
        entries.append(entry);
    }
    root.endArray();
    root.endStructure();
    return entries;
}

QStringList FakeStatusNotifierWatcher::menu(const QString& item) const
{
    QStringList texts;
    for (const Entry& entry : menuEntries(item))
        texts.append(entry.text);
    return texts;
}

bool FakeStatusNotifierWatcher::click(const QString& item, const QString& label) const
{
    const QString path = itemProperty(item, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    for (const Entry& entry : menuEntries(item)) {
        if (entry.text == label || entry.text.mid(4) == label) {
            const QDBusMessage reply = callItem(
                item, path, menuInterface, QStringLiteral("Event"),
                {entry.id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
            return reply.type() == QDBusMessage::ReplyMessage;
        }
    }
    return false;
}
