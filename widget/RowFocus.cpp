#include "widget/RowFocus.h"

#include "widget/WidgetLog.h"

#include <QKeyEvent>
#include <QScrollArea>
#include <QWidget>

RowFocus::RowFocus(QWidget* page)
    : QObject(page)
{}

void RowFocus::add(QWidget* row)
{
    // Only the current row is in the Tab chain: a list of 500 rows is one stop, not 500.
    row->setFocusPolicy(m_rows.isEmpty() ? Qt::StrongFocus : Qt::ClickFocus);
    row->installEventFilter(this);
    m_rows.append(row);
}

void RowFocus::focus(qsizetype index)
{
    if (m_rows.isEmpty())
        return;
    const qsizetype row = std::clamp(index, qsizetype(0), m_rows.size() - 1);
    qCDebug(lcWidget) << "focus to row" << row << "of" << m_rows.size();
    if (m_rows.at(row))
        m_rows.at(row)->setFocus(Qt::OtherFocusReason);
}

void RowFocus::makeCurrent(qsizetype index)
{
    qCDebug(lcWidget) << "row" << index << "has the focus";
    if (QWidget* previous = m_rows.value(m_current); previous && index != m_current)
        previous->setFocusPolicy(Qt::ClickFocus);
    m_current = index;
    QWidget* row = m_rows.at(index);
    if (!row)
        return;
    row->setFocusPolicy(Qt::StrongFocus);
    for (QWidget* above = row->parentWidget(); above; above = above->parentWidget()) {
        if (auto* scrollArea = qobject_cast<QScrollArea*>(above)) {
            scrollArea->ensureWidgetVisible(row, 0, 0);
            break;
        }
    }
}

bool RowFocus::eventFilter(QObject* watched, QEvent* event)
{
    // A row sees many events; only these two concern the focus.
    const bool focusIn = event->type() == QEvent::FocusIn;
    if (!focusIn && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const qsizetype index = m_rows.indexOf(static_cast<QWidget*>(watched));
    if (index < 0)
        return QObject::eventFilter(watched, event);
    if (focusIn) {
        makeCurrent(index);
        return QObject::eventFilter(watched, event);
    }
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Up:
        focus(index - 1);
        return true;
    case Qt::Key_Down:
        focus(index + 1);
        return true;
    case Qt::Key_Home:
        focus(0);
        return true;
    case Qt::Key_End:
        focus(m_rows.size() - 1);
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
