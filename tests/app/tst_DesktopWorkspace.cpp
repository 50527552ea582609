// Handing URLs to one of our programs that the bus cannot activate: the program is started
// with the URLs, and never with a malformed URL. (Activation itself: tst_Launcher.)

#include "PrivateBus.h"
#include "platform/DesktopWorkspace.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_DesktopWorkspace : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsTheProgramWithValidUrlsOnly()
    {
        PrivateBus bus;
        QVERIFY(bus.start());
        QTemporaryDir dir;
        // A stand-in program that writes its arguments to a file.
        const QString output = dir.filePath(QStringLiteral("arguments"));
        const QString program = dir.filePath(QStringLiteral("program.sh"));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                .arg(output)
                .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);

        DesktopWorkspace workspace(bus.connect(QStringLiteral("test")));
        workspace.setFallbackProgram(program);
        const QString today = QStringLiteral("tovo.TOVO.TOVOToday");
        QVERIFY(!workspace.openUrls({QStringLiteral("tovo://ok"), QStringLiteral("tovo://a b")},
                                    today));
        QVERIFY(!workspace.openUrl(QStringLiteral("not a url")));
        QVERIFY(
            workspace.openUrls({QStringLiteral("tovo://x"), QStringLiteral("tovo://%41")}, today));
        QTRY_VERIFY(QFile::exists(output));
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("tovo://x\ntovo://%41\n")); // only the valid call
    }
};

QTEST_MAIN(tst_DesktopWorkspace)
#include "tst_DesktopWorkspace.moc"
