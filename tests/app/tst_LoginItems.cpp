// The launcher's XDG autostart entry: written with the installed launcher's path, valid for
// desktop-file-validate, removed again, and only for our own login item.

#include "platform/LoginItems.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

class tst_LoginItems : public QObject {
    Q_OBJECT

    const QString launcherId = QStringLiteral("tovo.TOVO.TOVOLauncher");

private Q_SLOTS:
    void onWritesAValidEntryInTheUsersAutostartFolder()
    {
        LoginItems items;
        const QString path = items.entryPath(launcherId);
        QCOMPARE(path, qEnvironmentVariable("XDG_CONFIG_HOME") +
                           QStringLiteral("/autostart/tovo.TOVO.TOVOLauncher.desktop"));
        QVERIFY(items.setEnabled(launcherId, true));
        QVERIFY(items.setEnabled(launcherId, true)); // again: same file

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(!text.contains(QLatin1Char('@')));
        const QSettings entry(path, QSettings::IniFormat);
        const QString exec = entry.value(QStringLiteral("Desktop Entry/Exec")).toString();
        QVERIFY2(exec.startsWith(QLatin1Char('/')) &&
                     exec.endsWith(QStringLiteral("/tovo-launcher")),
                 qPrintable(exec));
        QCOMPARE(exec, LoginItems::programFor(launcherId));

        if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
            QSKIP("desktop-file-validate is not installed");
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {path});
        QVERIFY(validate.waitForFinished());
        QCOMPARE(validate.readAll(), QByteArray());
        QCOMPARE(validate.exitCode(), 0);
    }

    void offRemovesTheEntry()
    {
        LoginItems items;
        QVERIFY(items.setEnabled(launcherId, true));
        QVERIFY(items.setEnabled(launcherId, false));
        QVERIFY(!QFile::exists(items.entryPath(launcherId)));
        QVERIFY(items.setEnabled(launcherId, false)); // nothing to remove is fine
    }

    void onlyOurLoginItem()
    {
        LoginItems items;
        QVERIFY(!items.setEnabled(QStringLiteral("org.example.Other"), true));
        QVERIFY(!QFile::exists(items.entryPath(QStringLiteral("org.example.Other"))));
    }
};

QTEST_MAIN(tst_LoginItems)
#include "tst_LoginItems.moc"
