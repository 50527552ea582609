#pragma once
// One alarm of the feed. Its five text fields are published as gadget properties, so views can
// read them by name (see Alarm::field) instead of hard-coding accessors.

#include "core/Item.h"

#include <QList>
#include <QString>

class Alarm : public Item {
    Q_GADGET
    Q_PROPERTY(QString alarmAgent READ alarmAgent WRITE setAlarmAgent)
    Q_PROPERTY(QString alarmResource READ alarmResource WRITE setAlarmResource)
    Q_PROPERTY(QString alarmDescription READ alarmDescription WRITE setAlarmDescription)
    Q_PROPERTY(QString alarmLevel READ alarmLevel WRITE setAlarmLevel)
    Q_PROPERTY(QString alarmGuid READ alarmGuid WRITE setAlarmGuid)
public:
    Alarm(QString agent, QString resource, QString description, QString level, AlarmType type,
          QString guid);

    const QString& alarmAgent() const { return m_agent; }
    const QString& alarmResource() const { return m_resource; }
    const QString& alarmDescription() const { return m_description; }
    const QString& alarmLevel() const { return m_level; }
    const QString& alarmGuid() const { return m_guid; }
    void setAlarmAgent(const QString& value) { m_agent = value; }
    void setAlarmResource(const QString& value) { m_resource = value; }
    void setAlarmDescription(const QString& value) { m_description = value; }
    void setAlarmLevel(const QString& value) { m_level = value; }
    void setAlarmGuid(const QString& value) { m_guid = value; }

    // The text field called `name` (e.g. "alarmAgent"); a null QString for any other name.
    QString field(const char* name) const;

private:
    QString m_agent;
    QString m_resource;
    QString m_description;
    QString m_level;
    QString m_guid;
};

using AlarmPtr = std::shared_ptr<Alarm>;
using AlarmList = QList<AlarmPtr>;

// Same agent, resource, description and level (canonically equivalent, case-sensitive); the guid
// and the type take no part.
bool operator==(const Alarm& a, const Alarm& b);
