// T-O-VO Launcher: the login item that starts the tray application.

#include "Identity.h"
#include "launcher/AppDelegate.h"

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(Identity::launcherProgram);
    QCoreApplication::setApplicationVersion(Identity::version);
    AppDelegate delegate;
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    QCoreApplication::exec();
    delegate.applicationWillTerminate();
    return 0;
}
