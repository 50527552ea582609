#pragma once
// A stand-in for one of our programs on the test's private session bus: it owns the program's
// bus name, answers org.freedesktop.Application's Open at the derived object path ("tovo.TOVO"
// -> "/tovo/TOVO") and records every call.
//
//     FakeApplication tovo(QStringLiteral("tovo.TOVO"));
//     QVERIFY(tovo.registerOnBus());
//     ... QTRY_COMPARE(tovo.openedUris(), QList<QStringList>{{"tovo://abc"}});

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class FakeApplication : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit FakeApplication(QString applicationId);
    ~FakeApplication() override;

    // Claims the bus name and exports the interface; false when either fails.
    bool registerOnBus();
    // The `uris` argument of every Open, in order.
    const QList<QStringList>& openedUris() const { return m_opened; }

public Q_SLOTS:
    Q_SCRIPTABLE void Open(const QStringList& uris, const QVariantMap& platformData);

private:
    QString m_applicationId;
    QString m_path;
    QList<QStringList> m_opened;
    bool m_registered = false;
};
