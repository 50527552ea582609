#include "widget/AlarmListModel.h"

#include "base/MainQueue.h"
#include "widget/Helper.h"

AlarmListModel::AlarmListModel(QObject* parent)
    : QAbstractListModel(parent)
{}

AlarmPtr AlarmListModel::alarmOf(const ItemPtr& entry)
{
    return std::dynamic_pointer_cast<Alarm>(entry);
}

ItemPtr AlarmListModel::entry(int row) const
{
    return row >= 0 && row < m_entries.size() ? m_entries.at(row) : nullptr;
}

void AlarmListModel::setEntries(const QList<ItemPtr>& entries)
{
    Q_ASSERT(MainQueue::isMainThread());
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

int AlarmListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant AlarmListModel::data(const QModelIndex& index, int role) const
{
    const ItemPtr item =
        checkIndex(index, CheckIndexOption::IndexIsValid) ? entry(index.row()) : nullptr;
    if (!item || role != Qt::DisplayRole) {
        return {};
    }
    if (const AlarmPtr alarm = alarmOf(item)) {
        return alarm->alarmAgent();
    }
    return Helper::titleForKey(item->alarmType());
}
