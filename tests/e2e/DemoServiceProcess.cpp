#include "DemoServiceProcess.h"

#include <QTest>

DemoServiceProcess::~DemoServiceProcess()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished(5000);
}

bool DemoServiceProcess::start(const QStringList& arguments)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(TOVO_E2E_DEMO_SERVICE), arguments);
    return QTest::qWaitFor(
               [this] {
                   readLines();
                   return ready || process.state() == QProcess::NotRunning;
               },
               60000) &&
           ready;
}

QProcessEnvironment DemoServiceProcess::clientEnvironment(QProcessEnvironment base) const
{
    for (const char* key : {"TOVO_WEB_BASE", "TOVO_FEED_BASE", "SSL_CERT_FILE"})
        base.insert(QString::fromLatin1(key), value(QString::fromLatin1(key)));
    return base;
}

QStringList DemoServiceProcess::requests()
{
    readLines();
    return logged;
}

int DemoServiceProcess::feedRequests()
{
    const QStringList lines = requests();
    return static_cast<int>(std::count_if(lines.cbegin(), lines.cend(), [](const QString& line) {
        return line.startsWith(QStringLiteral("GET /rssalarms"));
    }));
}

void DemoServiceProcess::readLines()
{
    pending += process.readAllStandardOutput();
    qsizetype end = 0;
    while ((end = pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(pending.left(end));
        pending.remove(0, end + 1);
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!ready && line == QStringLiteral("ready"))
            ready = true;
        else if (!ready && equals > 0)
            settings.insert(line.left(equals), line.mid(equals + 1));
        else if (ready)
            logged.append(line);
    }
}
