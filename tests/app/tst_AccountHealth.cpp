// What the tray tells about the account and the service, driven by sequences of events: whether
// polling starts or stops, the tooltip, the muted glyph and the two outage notifications. Then
// the short reasons that failed polls show.

#include "app/AccountHealth.h"
#include "app/FailureReason.h"
#include "net/HttpSession.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAccountHealth : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void followsEvents_data()
    {
        // Events one minute apart from 10:00: "G1" hands over an account, "-" none, "ok3" a
        // success with 3 alarms, "x" a failure ("x15": 15 of them), "stale" a success for an
        // account that is not the current one.
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("effects"); // polling "start" or "stop", notices "lost", "back"
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<bool>("muted");
        const auto row = [](const char* name, const char* events, const char* effects,
                            const QString& toolTip, bool muted) {
            QTest::newRow(name) << events << effects << toolTip << muted;
        };
        const QString out = u"Not signed in. Sign in with T-O-VO Today."_s;
        const auto since = [](const char* time) {
            return u"Cannot reach T-O-VO since %1: timed out"_s.arg(QLatin1StringView(time));
        };
        row("no account, failures of an old loop", "- x15 stale", "", out, true);
        row("no account, token, 2 failures, success", "- G1 x x ok3", "start",
            u"Checked at 10:03: 3 alarms"_s, false);
        row("one alarm", "G1 ok1", "start", u"Checked at 10:01: 1 alarm"_s, false);
        row("3 failures mute", "G1 ok0 x3", "start", since("10:02"), true);
        row("14 failures are no outage", "G1 x14 ok0 x14", "start", since("10:16"), true);
        row("an outage from the start, told once", "G1 x15 x5", "start lost", since("10:01"), true);
        row("each outage and its end", "G1 x15 ok0 x15", "start lost back lost", since("10:17"),
            true);
        row("the same token changes nothing", "G1 x2 G1", "start", since("10:01"), false);
        row("another account afresh, the old one's answer ignored", "G1 x3 G2 stale", "start start",
            u"Checking for alarms…"_s, false);
        row("an outage's end is told after a switch", "G1 x15 G2 ok4", "start lost start back",
            u"Checked at 10:16: 4 alarms"_s, false);
        row("sign-out stops", "G1 ok3 -", "start stop", out, true);
    }

    void followsEvents()
    {
        QFETCH(QString, events);
        QFETCH(QString, effects);
        QFETCH(QString, toolTip);
        QFETCH(bool, muted);
        const QString lost = u"T-O-VO cannot reach the service: No new alarms can arrive until it "
                             "is reachable again. Last reason: timed out."_s;
        AccountHealth health;
        QDateTime at(QDate(2026, 3, 2), QTime(10, 0));
        QStringList seen;
        const auto tell = [&](const std::optional<AccountHealth::Notice>& notice) {
            if (notice)
                seen << (notice->title + u": "_s + notice->body == lost ? u"lost"_s : u"back"_s);
        };
        for (const QString& event : events.split(u' ', Qt::SkipEmptyParts)) {
            const QString guid = event == "stale"_L1 ? u"OLD"_s : health.account();
            if (event.startsWith(u'x')) {
                for (int i = 0; i < std::max(1, event.mid(1).toInt()); ++i)
                    tell(health.pollFailed(guid, at = at.addSecs(60), u"timed out"_s));
            } else if (event.startsWith(u"ok"_s) || event == "stale"_L1) {
                tell(health.pollSucceeded(guid, at = at.addSecs(60), event.mid(2).toInt()));
            } else if (const auto change = health.setAccount(event == "-"_L1 ? QString() : event);
                       change != AccountHealth::Polling::Unchanged) {
                seen << (change == AccountHealth::Polling::Start ? u"start"_s : u"stop"_s);
            }
        }
        QCOMPARE(seen.join(u' '), effects);
        QCOMPARE(health.toolTip(), toolTip);
        QCOMPARE(health.muted(), muted);
    }

    void failureReasons_data()
    {
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        const QString transport = HttpSession::transportErrorDomain;
        QTest::newRow("untrusted peer") << transport << 60 << u"certificate not trusted"_s;
        QTest::newRow("error status") << HttpSession::httpErrorDomain << 503 << u"HTTP 503"_s;
        QTest::newRow("cut off") << transport << 18 << u"unreadable answer"_s;
        QTest::newRow("token makes no URL") << u"TOVOErrorDomain"_s << 0 << u"no connection"_s;
    }

    void failureReasons()
    {
        QFETCH(QString, domain);
        QFETCH(int, code);
        QFETCH(QString, reason);
        // The description may quote what the server sent; the reason never does.
        QCOMPARE(FailureReason::of(Error::withDescription(domain, code, u"<html>id=GUID"_s)),
                 reason);
    }
};

QTEST_GUILESS_MAIN(TestAccountHealth)
#include "tst_AccountHealth.moc"
