#include "desktop/StatusMenuItem.h"

StatusMenuItem::StatusMenuItem(QString title, std::function<void()> action, QString keyEquivalent,
                               QObject* parent)
    : QObject(parent)
    , m_title(std::move(title))
    , m_action(std::move(action))
    , m_keyEquivalent(std::move(keyEquivalent))
{}

StatusMenuItem* StatusMenuItem::separator(QObject* parent)
{
    auto* item = new StatusMenuItem({}, {}, {}, parent);
    item->m_separator = true;
    return item;
}

void StatusMenuItem::setState(State state)
{
    m_hasState = true;
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT changed();
}

void StatusMenuItem::trigger()
{
    if (m_action)
        m_action();
}
