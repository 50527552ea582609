// tovo-today: the Today panel, once per desktop session.

#include "Identity.h"
#include "base/SettingsFile.h"
#include "bus/CommandLine.h"
#include "bus/Translations.h"
#include "core/APIClient.h"
#include "desktop/DesktopUrlOpener.h"
#include "widget/AccessibleRole.h"
#include "widget/TodayApplication.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    // Before the application object, which needs a display: --help and --version start nothing.
    const CommandLine commandLine(
        Identity::todayProgram, Identity::version,
        QStringLiteral("The %1 Today panel: sign in to your account and see its open alarms.")
            .arg(Identity::displayName),
        {}, CommandLine::Kind::Gui);
    if (const std::optional<int> exitCode = commandLine.handle(argc, argv))
        return *exitCode;

    QApplication app(argc, argv);
    // The application id names the windows' class (WM_CLASS) after the desktop entry; people
    // read the display name in titles and hear it from screen readers.
    QApplication::setApplicationName(Identity::todayId);
    QApplication::setApplicationDisplayName(Identity::todayDisplayName);
    QApplication::setApplicationVersion(Identity::version);
    QGuiApplication::setDesktopFileName(Identity::todayId);
    // One icon for the programs of T-O-VO, as in the desktop entries.
    QApplication::setWindowIcon(QIcon::fromTheme(
        Identity::trayId, QIcon(QStringLiteral(":/icons/%1.svg").arg(Identity::trayId))));
    SettingsFile::setStandardLocation(Identity::settingsFolder, Identity::todayId);
    Translations::install(Identity::translationsCatalog, Identity::bindirToTranslations,
                          Identity::installTranslationsDir);
    AccessibleRole::install();
    // The tray program, should the bus be unable to start it: beside us or where it is installed.
    DesktopUrlOpener urlOpener;
    urlOpener.addFallbackProgram(
        Identity::trayId, Identity::trayProgram,
        {Identity::libexecToBindir, QStringLiteral("."), Identity::installBindir});

    TodayApplication delegate(APIClient::sharedClient(), urlOpener);
    ApplicationHost host(Identity::todayId, delegate);
    return host.run(QCoreApplication::arguments());
}
