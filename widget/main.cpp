// tovo-today: the Today panel, once per desktop session.

#include "Identity.h"
#include "base/SettingsFile.h"
#include "core/APIClient.h"
#include "desktop/DesktopUrlOpener.h"
#include "widget/TodayApplication.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Identity::todayId);
    QApplication::setApplicationVersion(Identity::version);
    QGuiApplication::setDesktopFileName(Identity::todayId);
    QApplication::setWindowIcon(QIcon::fromTheme(Identity::todayId));
    SettingsFile::setStandardLocation(Identity::settingsFolder, Identity::todayId);
    // The tray program, should the bus be unable to start it: beside us or where it is installed.
    DesktopUrlOpener urlOpener;
    urlOpener.addFallbackProgram(
        Identity::trayId, Identity::trayProgram,
        {Identity::libexecToBindir, QStringLiteral("."), Identity::installBindir});

    TodayApplication delegate(APIClient::sharedClient(), urlOpener);
    ApplicationHost host(Identity::todayId, delegate);
    return host.run(QCoreApplication::arguments());
}
