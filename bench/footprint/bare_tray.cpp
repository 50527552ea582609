// The yardstick of the footprint benchmark: the least a Qt tray program can be. A tray icon with
// a four-entry menu, nothing else (no network, no D-Bus service, no timers of its own).

#include <QAction>
#include <QApplication>
#include <QColor>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QMenu menu;
    menu.addAction(QStringLiteral("T-O-VO..."));
    QAction* startAtLogin = menu.addAction(QStringLiteral("Start at login"));
    startAtLogin->setCheckable(true);
    startAtLogin->setChecked(true);
    menu.addSeparator();
    QObject::connect(menu.addAction(QStringLiteral("Quit")), &QAction::triggered, &app,
                     &QCoreApplication::quit);

    QPixmap image(22, 22);
    image.fill(QColor(0x88, 0xc0, 0xd0));
    QSystemTrayIcon icon{QIcon(image)};
    icon.setContextMenu(&menu);
    icon.show();
    return app.exec();
}
