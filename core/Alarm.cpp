#include "core/Alarm.h"

#include "base/UnicodeText.h"

#include <QMetaProperty>

Alarm::Alarm(QString agent, QString resource, QString description, QString level, AlarmType type,
             QString guid)
    : Item(type)
    , m_agent(std::move(agent))
    , m_resource(std::move(resource))
    , m_description(std::move(description))
    , m_level(std::move(level))
    , m_guid(std::move(guid))
{}

QString Alarm::field(const char* name) const
{
    const int index = staticMetaObject.indexOfProperty(name);
    if (index < 0)
        return {};
    return staticMetaObject.property(index).readOnGadget(this).toString();
}

bool operator==(const Alarm& a, const Alarm& b)
{
    return UnicodeText::equal(a.alarmAgent(), b.alarmAgent()) &&
           UnicodeText::equal(a.alarmResource(), b.alarmResource()) &&
           UnicodeText::equal(a.alarmDescription(), b.alarmDescription()) &&
           UnicodeText::equal(a.alarmLevel(), b.alarmLevel());
}
