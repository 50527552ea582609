// Handing URLs to our other programs: through D-Bus activation when the bus knows the program,
// by starting the program directly when it does not, and never with a malformed URL.

#include "ApplicationClient.h"
#include "PrivateBus.h"
#include "ProbeLog.h"
#include "platform/ApplicationHost.h"
#include "platform/DesktopWorkspace.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_DesktopWorkspace : public QObject {
    Q_OBJECT

    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    QTemporaryDir m_dir;

    // A stand-in program that writes its arguments to `output`.
    QString writeFallback(const QString& output)
    {
        const QString path = m_dir.filePath(QStringLiteral("fallback.sh"));
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly))
            return {};
        script.write(
            QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                .arg(output)
                .toUtf8());
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        m_connection = m_bus.connect(QStringLiteral("test"));
    }

    void activatesTheProgramWithTheUrls()
    {
        const ProbeLog log(m_dir.filePath(QStringLiteral("probe.log")));
        QVERIFY(m_bus.addService(QStringLiteral("tovo.TOVO"),
                                 {QStringLiteral(TOVO_HOST_PROBE), QStringLiteral("--log"),
                                  log.path(), QStringLiteral("--id"), QStringLiteral("tovo.TOVO"),
                                  ApplicationHost::busActivationFlag}));
        DesktopWorkspace workspace(m_connection);
        workspace.setFallbackProgram(writeFallback(m_dir.filePath(QStringLiteral("unused"))));
        QVERIFY(workspace.openUrls({QStringLiteral("tovo://GUID-1")}, QStringLiteral("tovo.TOVO")));
        QVERIFY(log.waitFor(QStringLiteral("didFinish")));
        QCOMPARE(
            log.lines(),
            QString::fromLatin1("willFinish|open tovo://GUID-1|didFinish").split(QLatin1Char('|')));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("unused"))));

        QVERIFY(ApplicationClient(m_connection, QStringLiteral("tovo.TOVO")).quitProbe());
    }

    void startsTheProgramWhenTheBusCannotActivateIt()
    {
        const QString output = m_dir.filePath(QStringLiteral("arguments"));
        DesktopWorkspace workspace(m_connection);
        workspace.setFallbackProgram(writeFallback(output));
        QVERIFY(workspace.openUrls({QStringLiteral("tovo://abc")},
                                   QStringLiteral("tovo.TOVO.TOVOToday")));
        QTRY_VERIFY(QFile::exists(output));
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("tovo://abc\n"));
    }

    void refusesMalformedUrls()
    {
        const QString output = m_dir.filePath(QStringLiteral("never"));
        DesktopWorkspace workspace(m_connection);
        workspace.setFallbackProgram(writeFallback(output));
        QVERIFY(!workspace.openUrls({QStringLiteral("tovo://ok"), QStringLiteral("tovo://a b")},
                                    QStringLiteral("tovo.TOVO.TOVOToday")));
        QVERIFY(!workspace.openUrl(QStringLiteral("not a url")));
        // Only the valid call reaches the program.
        QVERIFY(workspace.openUrls({QStringLiteral("tovo://later")},
                                   QStringLiteral("tovo.TOVO.TOVOToday")));
        QTRY_VERIFY(QFile::exists(output));
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("tovo://later\n"));
    }
};

QTEST_MAIN(tst_DesktopWorkspace)
#include "tst_DesktopWorkspace.moc"
