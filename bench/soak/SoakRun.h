#pragma once
// One soak of the real tray program: tovo as a child process on the session bus (run-soak.sh
// gives it one of its own) with a recording notification server, a private XDG tree and the test
// CA, polling the fake service at a short interval while the service answers from a SoakSchedule.
// Checks that tovo lives through it, raises exactly the expected notifications, holds its memory
// and lets no request outlive its deadline; prints the figures and a one-line summary.

#include "FakeNotificationServer.h"
#include "SoakSchedule.h"

#include <QProcess>
#include <QString>
#include <QStringList>

class SoakService;

class SoakRun {
public:
    struct Options {
        QString tovo; // the program under test
        qsizetype polls = 1000;
        int intervalMs = 100;
        int deadlineMs = 2000; // TOVO_HTTP_DEADLINE_MS
        int slackMs = 500;     // how late a connection may still end
    };

    explicit SoakRun(Options options);

    // The exit code: 0 when every check passed.
    int run();

private:
    struct Memory {
        qint64 atCheckpointKb = -1;
        qint64 atEndKb = -1;
    };

    QString drive(SoakService& service, const QProcessEnvironment& environment);
    void serve(SoakService& service, qsizetype connection);
    qint64 residentKb() const;
    // Each prints its figures and notes what failed; they return what the summary line shows.
    qsizetype checkAnswers(const SoakService& service);
    bool checkNotifications(const QList<FakeNotificationServer::Notification>& shown,
                            qsizetype polls);
    qint64 checkMemory(qsizetype polls);

    Options m_options;
    SoakSchedule m_schedule;
    QProcess m_tovo;
    bool m_ending = false;   // we stop tovo now; an exit no longer counts as a crash
    bool m_finished = false; // the last scheduled answer went out
    int m_crashes = 0;
    Memory m_memory;
    QStringList m_problems;
};
