// T-O-VO, the tray application: one instance per session on its bus name.

#include "Identity.h"
#include "app/AppDelegate.h"
#include "app/DesktopAppServices.h"
#include "base/SettingsFile.h"
#include "bus/ApplicationHost.h"
#include "bus/CommandLine.h"
#include "bus/Translations.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    // Before the application object, which needs a display: --help and --version start nothing.
    const CommandLine commandLine(
        Identity::trayProgram, Identity::version,
        QStringLiteral("The %1 tray application: a desktop notification for every new alarm of "
                       "your account.")
            .arg(Identity::displayName),
        {{QStringLiteral("launched"), QStringLiteral("[launched]"),
          QStringLiteral("As the first argument: no alert that the program is running.")},
         {QStringLiteral("URL"), QStringLiteral("[URL...]"),
          QStringLiteral("%1://START (the login launcher's start) or %1://<token> (the account "
                         "token from the Today panel).")
              .arg(Identity::urlScheme)}},
        CommandLine::Kind::Gui);
    if (const std::optional<int> exitCode = commandLine.handle(argc, argv))
        return *exitCode;

    QApplication app(argc, argv);
    // A token URL (tovo://<GUID>) on the command line is blanked from it as soon as it is read.
    const QStringList arguments = ApplicationHost::takeArguments(argc, argv);
    // The tray reads the item's title from the application name, and screen readers the
    // application's: both are for people ("T-O-VO"), not the program file's name.
    QApplication::setApplicationName(Identity::displayName);
    QApplication::setApplicationDisplayName(Identity::displayName);
    QApplication::setApplicationVersion(Identity::version);
    QApplication::setDesktopFileName(Identity::trayId);
    // The alert's title and task bar show it.
    QApplication::setWindowIcon(QIcon::fromTheme(
        Identity::trayId, QIcon(QStringLiteral(":/icons/%1.svg").arg(Identity::trayId))));
    // No window of our own: closing the alert must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    SettingsFile::setStandardLocation(Identity::settingsFolder, Identity::trayId);
    Translations::install(Identity::translationsCatalog, Identity::bindirToTranslations,
                          Identity::installTranslationsDir);

    DesktopAppServices services;
    AppDelegate delegate(services);
    ApplicationHost host(Identity::trayId, delegate);
    return host.run(arguments);
}
