#include "widget/AccessibleRole.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QMetaEnum>
#include <QWidget>

namespace {

// The application as Qt presents it, named by its display name ("T-O-VO Today"), which people
// know, rather than its application name, which is the desktop-file id.
class DisplayNamedApplication : public QAccessibleApplication {
public:
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? QGuiApplication::applicationDisplayName()
                                      : QAccessibleApplication::text(t);
    }
};

QAccessibleInterface* roleFactory(const QString& /*className*/, QObject* object)
{
    if (object == QCoreApplication::instance())
        return new DisplayNamedApplication;
    const QVariant name =
        object && object->isWidgetType() ? object->property(AccessibleRole::property) : QVariant();
    if (!name.isValid())
        return nullptr;
    bool known = false;
    const int role =
        QMetaEnum::fromType<QAccessible::Role>().keyToValue(name.toByteArray().constData(), &known);
    return known ? new QAccessibleWidget(static_cast<QWidget*>(object),
                                         static_cast<QAccessible::Role>(role))
                 : nullptr;
}

} // namespace

void AccessibleRole::install()
{
    QAccessible::installFactory(roleFactory);
}

void AccessibleRole::set(QWidget* widget, QAccessible::Role role)
{
    widget->setProperty(property,
                        QByteArray(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role)));
}
