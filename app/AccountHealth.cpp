#include "app/AccountHealth.h"

#include "base/UnicodeText.h"

#include <QLocale>

AccountHealth::Polling AccountHealth::setAccount(const QString& guid)
{
    if (UnicodeText::equal(guid, m_account))
        return Polling::Unchanged;
    m_account = guid;
    m_checkedAt.reset();
    m_failuresInARow = 0;
    return guid.isEmpty() ? Polling::Stop : Polling::Start;
}

bool AccountHealth::isCurrent(const QString& guid) const
{
    return !m_account.isEmpty() && UnicodeText::equal(guid, m_account);
}

std::optional<AccountHealth::Notice>
AccountHealth::pollSucceeded(const QString& guid, const QDateTime& at, qsizetype alarms)
{
    if (!isCurrent(guid))
        return std::nullopt;
    m_checkedAt = at;
    m_alarms = alarms;
    m_failuresInARow = 0;
    if (!m_outageTold)
        return std::nullopt;
    m_outageTold = false;
    return Notice{tr("T-O-VO reaches the service again"), QString()};
}

std::optional<AccountHealth::Notice>
AccountHealth::pollFailed(const QString& guid, const QDateTime& at, const QString& reason)
{
    if (!isCurrent(guid))
        return std::nullopt;
    if (++m_failuresInARow == 1)
        m_failingSince = at;
    m_lastFailure = at;
    m_reason = reason;
    if (m_outageTold || m_failuresInARow < failuresBeforeNotice)
        return std::nullopt;
    m_outageTold = true;
    return Notice{
        tr("T-O-VO cannot reach the service"),
        tr("No new alarms can arrive until it is reachable again. Last reason: %1.").arg(reason)};
}

QString AccountHealth::toolTip() const
{
    const QLocale locale;
    if (m_account.isEmpty())
        return tr("Not signed in. Sign in with T-O-VO Today.");
    if (m_failuresInARow > 0) {
        // An outage that began on another day than its last failure names the day too.
        const QString since = m_failingSince.date() == m_lastFailure.date()
                                  ? locale.toString(m_failingSince.time(), QLocale::ShortFormat)
                                  : locale.toString(m_failingSince, QLocale::ShortFormat);
        return tr("Cannot reach T-O-VO since %1: %2").arg(since, m_reason);
    }
    if (!m_checkedAt)
        return tr("Checking for alarms…");
    const QString at = locale.toString(m_checkedAt->time(), QLocale::ShortFormat);
    // A plural form of its own for one alarm until translations bring theirs.
    return m_alarms == 1 ? tr("Checked at %1: 1 alarm").arg(at)
                         : tr("Checked at %1: %n alarms", nullptr, int(m_alarms)).arg(at);
}

bool AccountHealth::muted() const
{
    return m_account.isEmpty() || m_failuresInARow >= failuresBeforeMuted;
}
