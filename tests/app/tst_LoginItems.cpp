// The launcher's XDG autostart entry: written with the installed launcher's path, accepted by
// desktop-file-validate, removed again, and only for our own login item.

#include "platform/LoginItems.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

class tst_LoginItems : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entryComesAndGoes()
    {
        const QString id = QStringLiteral("tovo.TOVO.TOVOLauncher");
        LoginItems items;
        const QString path = items.entryPath(id);
        QCOMPARE(path, qEnvironmentVariable("XDG_CONFIG_HOME") +
                           QStringLiteral("/autostart/tovo.TOVO.TOVOLauncher.desktop"));
        QVERIFY(items.setEnabled(id, true));
        QVERIFY(items.setEnabled(id, true)); // again: the same file

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        const QString exec = QStringLiteral("\nExec=") + LoginItems::programFor(id) + u'\n';
        QVERIFY2(text.startsWith(QStringLiteral("[Desktop Entry]\n")) && text.contains(exec),
                 qPrintable(text));
        QVERIFY(LoginItems::programFor(id).startsWith(u'/'));
        QVERIFY(LoginItems::programFor(id).endsWith(QStringLiteral("/tovo-launcher")));
        if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
            QCOMPARE(QProcess::execute(QStringLiteral("desktop-file-validate"), {path}), 0);

        QVERIFY(items.setEnabled(id, false));
        QVERIFY(!QFile::exists(path));
        QVERIFY(items.setEnabled(id, false)); // nothing to remove is fine
        QVERIFY(!items.setEnabled(QStringLiteral("org.example.Other"), true)); // not ours
    }
};

QTEST_MAIN(tst_LoginItems)
#include "tst_LoginItems.moc"
