// T-O-VO, the tray application: one instance per session on the bus name tovo.TOVO.

#include "app/AppDelegate.h"
#include "app/DesktopAppServices.h"
#include "base/SettingsFile.h"
#include "bus/ApplicationHost.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // A token URL (tovo://<GUID>) on the command line is blanked from it as soon as it is read.
    const QStringList arguments = ApplicationHost::takeArguments(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tovo"));
    QApplication::setApplicationDisplayName(QStringLiteral("T-O-VO"));
    QApplication::setDesktopFileName(QStringLiteral("tovo.TOVO"));
    // No window of our own: closing the alert must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    SettingsFile::setApplicationId(QStringLiteral("tovo.TOVO"));

    DesktopAppServices services;
    AppDelegate delegate(services);
    ApplicationHost host(QStringLiteral("tovo.TOVO"), delegate);
    return host.run(arguments);
}
