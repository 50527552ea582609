// tovo-today: the Today panel, once per desktop session.

#include "widget/TodayApplication.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(TodayApplication::applicationId);
    QGuiApplication::setDesktopFileName(TodayApplication::applicationId);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tovo.TOVO.TOVOToday")));

    TodayApplication delegate;
    ApplicationHost host(TodayApplication::applicationId, delegate);
    return host.run(QCoreApplication::arguments());
}
