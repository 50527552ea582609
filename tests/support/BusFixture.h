#pragma once
// Tests that run our programs as processes on a private bus derive from this: the bus (also the
// session bus of every child), the test's own connection to it, a folder for files, and the name
// tovo.TOVO made free again after each test.

#include "ApplicationClient.h"
#include "PrivateBus.h"

#include <QTemporaryDir>
#include <QTest>

class BusFixture : public QObject {
protected:
    // From initTestCase.
    void startBus()
    {
        QVERIFY(m_bus.start());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toUtf8()); // for every child
        m_connection = m_bus.connect(QStringLiteral("test"));
        QVERIFY(m_connection.isConnected());
    }

    // From cleanup, so also after a failed check: the next test needs the name free.
    void freeTheTrayName()
    {
        QVERIFY(!tovo().isRunning() || tovo().terminate());
        QVERIFY(m_bus.removeService(QStringLiteral("tovo.TOVO")));
    }

    ApplicationClient tovo() const
    {
        return ApplicationClient(m_connection, QStringLiteral("tovo.TOVO"));
    }

    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    QTemporaryDir m_dir;
};
