#include "widget/ListEntry.h"

namespace ListEntry {

QVariant wrap(ItemPtr item)
{
    return QVariant::fromValue(std::move(item));
}

ItemPtr item(const QVariant& entry)
{
    return entry.metaType() == QMetaType::fromType<ItemPtr>() ? entry.value<ItemPtr>() : nullptr;
}

AlarmPtr alarm(const QVariant& entry)
{
    return std::dynamic_pointer_cast<Alarm>(item(entry));
}

} // namespace ListEntry
