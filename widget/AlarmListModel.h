#pragma once
// The entries of the widget's list, one per row: shared Items, an Alarm being one. The entries
// are only ever replaced all at once (a model reset).

#include "core/Alarm.h"

#include <QAbstractListModel>

class AlarmListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit AlarmListModel(QObject* parent = nullptr);

    // The one place that tells an alarm from a message entry: `entry` as an Alarm, or nullptr.
    static AlarmPtr alarmOf(const ItemPtr& entry);

    const QList<ItemPtr>& entries() const { return m_entries; }
    // The entry of `row`, or nullptr outside the rows.
    ItemPtr entry(int row) const;
    void setEntries(const QList<ItemPtr>& entries);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // Qt::DisplayRole: an alarm's agent, a message entry's title.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QList<ItemPtr> m_entries;
};
