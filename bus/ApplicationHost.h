#pragma once
// The application main of a program that runs once per desktop session and is reachable as an
// org.freedesktop.Application on the session bus (bus name = application id, object path
// derived from it: "org.example.App" -> "/org/example/App").
//
// run() claims the bus name. When another instance already holds it, the arguments are forwarded
// there (an action as ActivateAction, else URLs as Open, otherwise Activate, unless the program
// was started for a message, which goes to that instance anyway), with the activation token the
// desktop gave this start, and run() returns 0 at once. Otherwise the delegate
// sees, in this order: applicationWillFinishLaunching, the launch URLs (command line, or an Open
// that started us through D-Bus activation) and action, applicationDidFinishLaunching with the
// launch's user information, and then, while the event loop runs, every later Open, Activate and
// ActivateAction.
//
// Usage (main.cpp):
//     QApplication app(argc, argv);
//     MyDelegate delegate;
//     ApplicationHost host(QStringLiteral("org.example.App"), delegate);
//     return host.run(QCoreApplication::arguments());
//
// Command line: every argument that starts with a URL scheme ("scheme:...") is a launch URL; other
// arguments are left to the program; "--action=<name>" asks for the program's action <name> (a
// desktop entry's action, for desktops that start it by its Exec line). The D-Bus service file
// starts the program with
// ApplicationBus::activationFlag, which makes the launch wait briefly for the message it was
// started for, so that URL (or notification action) is part of the launch.

#include "bus/ApplicationDelegate.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class ApplicationHost : public QObject {
    Q_OBJECT
public:
    // Key of the launch's user information: the parameter of the notification action.
    static inline const QString launchNotificationKey = QStringLiteral("launchNotification");
    // ActivateAction name meaning "the user activated one of our notifications".
    static inline const QString notificationActionName = QStringLiteral("notification");
    enum class Launch { Primary, Forwarded };

    ApplicationHost(QString applicationId, ApplicationDelegate& delegate,
                    QDBusConnection bus = QDBusConnection::sessionBus());
    ~ApplicationHost() override;

    // launch() and then the event loop; the program's exit code. Needs a Q(Core)Application.
    int run(const QStringList& arguments);
    // Everything up to and including applicationDidFinishLaunching, or the forwarding to the
    // running instance. Split from run() so tests can drive a launch without exec().
    Launch launch(const QStringList& arguments);

    // The launch URLs on a command line (arguments[0] is the program).
    static QStringList urlsInArguments(const QStringList& arguments);
    // The action named on a command line ("--action=<name>" or "--action <name>"), or empty.
    static QString actionInArguments(const QStringList& arguments);
    // QCoreApplication::arguments(), after which the launch URLs are blanked in the process's
    // argument memory: that is what /proc/<pid>/cmdline shows every local user, and a URL may
    // carry a secret. Qt reads the same memory, so later calls of arguments() see them empty.
    static QStringList takeArguments(int argc, char** argv);

    // Entry points of the D-Bus adaptor.
    void handleOpen(const QStringList& uris);
    void handleActivate(const QString& activationToken);
    void handleActivateAction(const QString& name, const QVariantList& parameter);

Q_SIGNALS:
    void messageReceived();

private:
    bool forwardTo(const QStringList& urls, const QString& action);
    void waitForActivationMessage();

    QString m_applicationId;
    ApplicationDelegate& m_delegate;
    QDBusConnection m_bus;
    bool m_launching = false;
    bool m_registered = false;
    QVariantMap m_launchUserInfo;
};
