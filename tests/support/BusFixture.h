#pragma once
// For tests that run our programs on the test's session bus (SESSION_BUS): the bus's services,
// tovo.TOVO on it, made free again after each test, and a folder for files.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

class BusFixture : public QObject {
protected:
    // One of our programs (or tovo-host-probe under its name) over org.freedesktop.Application.
    struct Program {
        const QString name;

        // A blocking call of `method` with `arguments`; the reply or the error.
        QDBusMessage call(const QString& method, const QVariantList& arguments) const
        {
            return callOnBus(name, u'/' + QString(name).replace(u'.', u'/'),
                             QStringLiteral("org.freedesktop.Application"), method, arguments);
        }
        bool isRunning() const { return names()->isServiceRegistered(name).value(); }
        // Ends whatever process owns the name (SIGTERM) and waits until the name is gone.
        bool terminate() const
        {
            const uint pid = names()->servicePid(name).value();
            return pid != 0 && ::kill(static_cast<pid_t>(pid), SIGTERM) == 0 &&
                   QTest::qWaitFor([this] { return !isRunning(); }, 10000);
        }
    };

    // From initTestCase: the bus is there, with a services folder.
    static void startBus()
    {
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        QVERIFY(!qEnvironmentVariableIsEmpty("TOVO_TEST_BUS_SERVICES"));
    }

    // From cleanup, so also after a failed check: the next test needs the name free.
    static void freeTheTrayName()
    {
        QVERIFY(!tovo().isRunning() || tovo().terminate());
        QVERIFY(removeService(QStringLiteral("tovo.TOVO")));
    }

    static Program tovo() { return {QStringLiteral("tovo.TOVO")}; }
    static Program application(const QString& name) { return {name}; }
    static QDBusConnectionInterface* names() { return QDBusConnection::sessionBus().interface(); }
    // A new connection to the bus, under a name of the caller's choosing.
    static QDBusConnection newConnection(const QString& name)
    {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    }

    // A .service file: the bus starts `command` (program and arguments) for `name`. The bus
    // rereads its services before this returns: it would notice the change later by itself.
    static bool addService(const QString& name, const QStringList& command)
    {
        QFile file(servicePath(name));
        const QByteArray text = "[D-BUS Service]\nName=" + name.toUtf8() +
                                "\nExec=" + command.join(u' ').toUtf8() + '\n';
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush() &&
               callBus(QStringLiteral("ReloadConfig"), {});
    }
    static bool removeService(const QString& name)
    {
        QFile::remove(servicePath(name));
        return callBus(QStringLiteral("ReloadConfig"), {});
    }
    // What the programs the bus starts from now on find in their environment, besides the bus's.
    static bool setActivationEnvironment(const QProcessEnvironment& environment)
    {
        QMap<QString, QString> variables;
        for (const QString& key : environment.keys())
            variables.insert(key, environment.value(key));
        qDBusRegisterMetaType<QMap<QString, QString>>();
        return callBus(QStringLiteral("UpdateActivationEnvironment"),
                       {QVariant::fromValue(variables)});
    }

    // A shell script `name` in m_dir with the lines `body`, for the bus's fallback; its path.
    QString script(const QString& name, const QString& body) const
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write((QStringLiteral("#!/bin/sh\n") + body).toUtf8()) < 0)
            return {};
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return file.fileName();
    }

    QTemporaryDir m_dir;

private:
    static QString servicePath(const QString& name)
    {
        return qEnvironmentVariable("TOVO_TEST_BUS_SERVICES") + u'/' + name +
               QStringLiteral(".service");
    }
    static QDBusMessage callOnBus(const QString& service, const QString& path,
                                  const QString& interface, const QString& method,
                                  const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message);
    }
    static bool callBus(const QString& method, const QVariantList& arguments)
    {
        const QString bus = QStringLiteral("org.freedesktop.DBus");
        return callOnBus(bus, QStringLiteral("/org/freedesktop/DBus"), bus, method, arguments)
                   .type() == QDBusMessage::ReplyMessage;
    }
};
