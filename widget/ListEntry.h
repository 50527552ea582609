#pragma once
// How list entries travel through the list's contents and a row's representedObject: a
// QVariant that holds a shared Item (an Alarm being one). Anything else is "an object of an
// unexpected class".

#include "core/Alarm.h"
#include "core/Item.h"

#include <QVariant>

namespace ListEntry {

QVariant wrap(ItemPtr item);
// The entry's Item, or nullptr when it holds none.
ItemPtr item(const QVariant& entry);
// The entry's Alarm, or nullptr when it holds no Alarm.
AlarmPtr alarm(const QVariant& entry);

} // namespace ListEntry
