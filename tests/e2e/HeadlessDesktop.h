#pragma once
// A desktop for end-to-end tests on a machine without a display: Xvfb, a system tray (trayer)
// and a notification daemon (dunst) on a private session bus, as scripts/headless-session.sh
// sets them up. The session ends with this object (or with the test process).

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class HeadlessDesktop {
public:
    // What the notification daemon received, one entry per Notify call.
    struct Notification {
        QString appName;
        QString summary;
        QString body;
        QString desktopEntry;
    };

    HeadlessDesktop() = default;
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;
    ~HeadlessDesktop();

    // `base` is the environment of the session's bus: its XDG_DATA_DIRS decide which D-Bus
    // services can be activated. False, with the reason in error(), when the session did not
    // come up within a minute.
    bool start(const QProcessEnvironment& base);

    // `base` plus DISPLAY, the session bus and the xcb platform, for the programs under test.
    QProcessEnvironment environment() const;
    QList<Notification> notifications() const;
    // Writes the whole screen to `fileName` in $TOVO_TEST_OUTPUT_DIR; returns the path or an
    // empty string.
    QString screenshot(const QString& fileName) const;
    // The names (WM_CLASS) of the windows docked in the tray.
    QStringList trayIconOwners() const;
    QString error() const { return problem; }

private:
    QString runX11Tool(const QString& program, const QStringList& arguments) const;

    QTemporaryDir folder;
    QProcess session;
    QProcessEnvironment env;
    QString problem;
};
