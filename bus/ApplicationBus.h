#pragma once
// How our programs find each other on the session bus: the org.freedesktop.Application object of
// an application id, and handing it URLs or an activation without waiting for it. Needs only QtCore
// and QtDBus so the login launcher can use it alone.

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace ApplicationBus {

inline const QString interfaceName = QStringLiteral("org.freedesktop.Application");
// The platform data that carries the user's click to the program it brings up: the token of
// xdg-activation (Wayland) and the startup id (X11).
inline const QString activationTokenKey = QStringLiteral("activation-token");
inline const QString startupIdKey = QStringLiteral("desktop-startup-id");

// The token in `platformData`: its activation token, else its startup id; empty when neither is
// there, or is no text of a sane length.
QString activationToken(const QVariantMap& platformData);
// The argument of a program started for a message: its launch waits for that message.
inline const QString activationFlag = QStringLiteral("--dbus-activated");
// The argument that asks a program for one of its actions: "--action=<name>" (ApplicationHost).
inline const QString actionOption = QStringLiteral("--action");

// "org.example.App" -> "/org/example/App"; characters a path element cannot hold become '_'.
QString objectPath(const QString& applicationId);

// The program file `name` to start when the bus cannot: the first executable one in `folders`
// (relative ones taken from the running program's folder), else one on PATH; empty when there
// is none.
QString findProgram(const QString& name, const QStringList& folders);

enum class Delivery {
    // Returns once the message is on its way; for programs that keep running.
    Send,
    // Returns once the receiver has the message (at most 15 s, its start included). A program
    // that exits right after sending needs this: the bus drops a message that waits for the
    // receiver's activation when its sender has gone.
    Await,
};

// Sends Open(urls, {}) to `applicationId`; the receiver's answer is never needed. The bus starts
// the program when it is not running but activatable; when it is neither running nor
// activatable, `fallback` is started detached with activationFlag alone (a URL may hold a
// secret, and a command line is public) and the URLs follow over the bus once it holds its name:
// with Send from the event loop, later, with Await before this returns. False when nothing could
// be done (with Send, a program that never comes up is not noticed).
bool openUrls(const QDBusConnection& bus, const QStringList& urls, const QString& applicationId,
              const QString& fallback, Delivery delivery = Delivery::Send);

// Sends Activate(platformData) to `applicationId` (bring its window to the front), starting it as
// openUrls does when it is not running. Returns once the message is on its way.
bool activate(const QDBusConnection& bus, const QString& applicationId, const QString& fallback,
              const QVariantMap& platformData = {});

} // namespace ApplicationBus
