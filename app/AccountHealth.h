#pragma once
// What the tray tells about the account and the service: which account polling follows, the
// tooltip that says what the silence means, whether the glyph is muted, and when a long outage
// and its end deserve a notification. Pure logic: it changes only with the events below, which
// come when the account changes or a poll completes, so it never wakes the program by itself.

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <optional>

class AccountHealth {
    Q_DECLARE_TR_FUNCTIONS(AccountHealth)
public:
    // Failed polls in a row before the glyph is muted, and before the outage is notified (a
    // quarter of an hour at the normal interval).
    static constexpr int failuresBeforeMuted = 3;
    static constexpr int failuresBeforeNotice = 15;

    enum class Polling { Unchanged, Start, Stop };
    struct Notice {
        QString title;
        QString body;
    };

    // The account polling should follow; empty for none. Another account than the current one
    // starts polling afresh, none stops it, the same one changes nothing.
    Polling setAccount(const QString& guid);
    const QString& account() const { return m_account; }

    // A completed poll for `guid`, at `at`. A poll for another account than the current one (the
    // last request of a loop that was stopped) changes nothing. A notice to raise, if any.
    std::optional<Notice> pollSucceeded(const QString& guid, const QDateTime& at, qsizetype alarms);
    std::optional<Notice> pollFailed(const QString& guid, const QDateTime& at,
                                     const QString& reason);

    QString toolTip() const;
    bool muted() const;

private:
    bool isCurrent(const QString& guid) const;

    QString m_account;
    std::optional<QDateTime> m_checkedAt; // the last success since the account was set
    qsizetype m_alarms = 0;
    int m_failuresInARow = 0;
    QDateTime m_failingSince;
    QDateTime m_lastFailure;
    QString m_reason;
    // From the outage notice to the next success, across a change of account: each outage is
    // told once, and so is its end.
    bool m_outageTold = false;
};
