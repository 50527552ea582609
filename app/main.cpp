// T-O-VO, the tray application: one instance per session on its bus name.

#include "Identity.h"
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
    QApplication::setApplicationName(Identity::trayProgram);
    QApplication::setApplicationDisplayName(Identity::displayName);
    QApplication::setApplicationVersion(Identity::version);
    QApplication::setDesktopFileName(Identity::trayId);
    // No window of our own: closing the alert must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    SettingsFile::setStandardLocation(Identity::settingsFolder, Identity::trayId);

    DesktopAppServices services;
    AppDelegate delegate(services);
    ApplicationHost host(Identity::trayId, delegate);
    return host.run(arguments);
}
