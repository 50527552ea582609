// T-O-VO Launcher: the login item that starts the tray application.

#include "Identity.h"
#include "bus/CommandLine.h"
#include "bus/Translations.h"
#include "launcher/AppDelegate.h"

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    const CommandLine commandLine(
        Identity::launcherProgram, Identity::version,
        QStringLiteral("The %1 login item: hands %2://START to the tray application and quits.")
            .arg(Identity::displayName, Identity::urlScheme),
        {}, CommandLine::Kind::Core);
    if (const std::optional<int> exitCode = commandLine.handle(argc, argv))
        return *exitCode;

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(Identity::launcherProgram);
    QCoreApplication::setApplicationVersion(Identity::version);
    // It shows nothing today; a message it may show one day is in the user's language.
    Translations::install(Identity::translationsCatalog, Identity::libexecdirToTranslations,
                          Identity::installTranslationsDir);
    AppDelegate delegate;
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    QCoreApplication::exec();
    delegate.applicationWillTerminate();
    return 0;
}
