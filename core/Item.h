#pragma once
// Base of every entry of an alarm list. A bare Item stands for a message row (no alarms, or the
// fetch failed); alarms are the subclass Alarm. Entries are shared: lists hold shared pointers,
// and consumers tell an Alarm from a message by a run-time type test, not by alarmType alone.

#include "core/AlarmType.h"

#include <QObject>
#include <memory>

class Item {
    Q_GADGET
public:
    explicit Item(AlarmType type)
        : m_alarmType(type)
    {}
    virtual ~Item() = default;
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    AlarmType alarmType() const { return m_alarmType; }
    void setAlarmType(AlarmType type) { m_alarmType = type; }

private:
    AlarmType m_alarmType;
};

using ItemPtr = std::shared_ptr<Item>;
