// tovo-host-probe: a program run by ApplicationHost that writes what its delegate sees into a
// log, one line per event, so tests can check launches across processes and bus activation.
//
//     tovo-host-probe --log <file> --id <application id> [--dbus-activated] [url...]
//
// Lines: "willFinish", "open <url>", "didFinish" or "didFinish notification", "activate" (with
// the activation token after a blank when one came), "action <name>". ActivateAction "quit" ends
// the program.

#include "bus/ApplicationHost.h"

#include <QCoreApplication>
#include <QFile>

namespace {

class ProbeDelegate : public ApplicationDelegate {
public:
    explicit ProbeDelegate(const QString& logPath)
        : m_log(logPath)
    {
        m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }

    void applicationWillFinishLaunching() override { write(QStringLiteral("willFinish")); }
    void openUrl(const QString& url) override { write(QStringLiteral("open ") + url); }
    void applicationDidFinishLaunching(const QVariantMap& userInfo) override
    {
        write(userInfo.contains(ApplicationHost::launchNotificationKey)
                  ? QStringLiteral("didFinish notification")
                  : QStringLiteral("didFinish"));
    }
    void activate(const QString& activationToken) override
    {
        write((QStringLiteral("activate ") + activationToken).trimmed());
    }
    void activateAction(const QString& name, const QVariantList& /*parameter*/) override
    {
        write(QStringLiteral("action ") + name);
        if (name == QLatin1String("quit"))
            QCoreApplication::quit();
    }

private:
    void write(const QString& line) { m_log.write((line + QLatin1Char('\n')).toUtf8()); }

    QFile m_log;
};

QString option(const QStringList& arguments, const QString& name)
{
    const qsizetype index = arguments.indexOf(name);
    return index >= 0 && index + 1 < arguments.size() ? arguments.at(index + 1) : QString();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    ProbeDelegate delegate(option(arguments, QStringLiteral("--log")));
    ApplicationHost host(option(arguments, QStringLiteral("--id")), delegate);
    return host.run(arguments);
}
