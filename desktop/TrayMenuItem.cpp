#include "desktop/TrayMenuItem.h"

TrayMenuItem::TrayMenuItem(QString title, std::function<void()> action, QObject* parent)
    : QObject(parent)
    , m_title(std::move(title))
    , m_action(std::move(action))
{}

TrayMenuItem* TrayMenuItem::separator(QObject* parent)
{
    auto* item = new TrayMenuItem({}, {}, parent);
    item->m_separator = true;
    return item;
}

void TrayMenuItem::setState(State state)
{
    m_hasState = true;
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT changed();
}

void TrayMenuItem::trigger()
{
    if (m_action)
        m_action();
}
