#pragma once
// Opening things the desktop way: a web address in the user's browser, or URLs handed to
// another of our programs by its application id (org.freedesktop.Application.Open on its bus
// name, sent without waiting; D-Bus activation starts the program when it is not running).
//
// The programs reach it through Workspace::shared(); tests may hand in a recorder.

#include <QString>
#include <QStringList>

class Workspace {
public:
    virtual ~Workspace() = default;

    static Workspace& shared();
    // Replaces the shared workspace (tests); nullptr restores the desktop's.
    static void setShared(Workspace* workspace);

    // Opens `url` in the default browser. False when the text is not a URL or nothing took it.
    virtual bool openUrl(const QString& url) = 0;
    // Hands `urls` to the program `applicationId` (e.g. "tovo.TOVO") without waiting for it.
    // False when a URL fails the strict URL check; nothing is sent then.
    virtual bool openUrls(const QStringList& urls, const QString& applicationId) = 0;
};
