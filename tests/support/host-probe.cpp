// tovo-host-probe --log <file> --id <application id> [--dbus-activated] [url...]: a program on
// ApplicationHost that logs its delegate's calls, one line each ("activate" with the activation
// token after a blank when one came); ActivateAction "quit" ends it.

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
    void openUrls(const QStringList& urls) override
    {
        for (const QString& url : urls)
            write(QStringLiteral("open ") + url);
    }
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    // "--log <file> --id <application id>" come first.
    ProbeDelegate delegate(arguments.value(2));
    ApplicationHost host(arguments.value(4), delegate);
    return host.run(arguments);
}
