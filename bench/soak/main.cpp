// tovo-soak: the tray program against a hostile service for a thousand polls and more; see
// SoakRun and run-soak.sh.

#include "SoakRun.h"

#include <QCommandLineParser>
#include <QCoreApplication>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Fault soak of the tray program tovo"_s);
    parser.addHelpOption();
    const QCommandLineOption tovo(u"tovo"_s, u"The tovo program to soak."_s, u"path"_s);
    const QCommandLineOption polls(u"polls"_s, u"Polls to serve (1000)."_s, u"n"_s, u"1000"_s);
    const QCommandLineOption interval(u"interval-ms"_s, u"Polling interval (100)."_s, u"ms"_s,
                                      u"100"_s);
    const QCommandLineOption deadline(u"deadline-ms"_s, u"Request deadline (2000)."_s, u"ms"_s,
                                      u"2000"_s);
    parser.addOptions({tovo, polls, interval, deadline});
    parser.process(app);

    SoakRun::Options options;
    options.tovo = parser.value(tovo);
    options.polls = parser.value(polls).toLongLong();
    options.intervalMs = parser.value(interval).toInt();
    options.deadlineMs = parser.value(deadline).toInt();
    // The schedule puts its memory checkpoint at poll 110 and quiet answers at the end.
    if (options.tovo.isEmpty() || options.polls < 200 || options.intervalMs < 10 ||
        options.deadlineMs < 100)
        parser.showHelp(2);
    return SoakRun(options).run();
}
