#pragma once
// Opening things the desktop way: a web address in the user's browser, or URLs handed to
// another of our programs by its application id (org.freedesktop.Application.Open on its bus
// name, sent without waiting; D-Bus activation starts the program when it is not running).
// DesktopUrlOpener is the real one; the programs make theirs and hand it to what needs it.

#include <QString>
#include <QStringList>

class UrlOpener {
public:
    virtual ~UrlOpener() = default;

    // Opens `url` in the default browser. False when the text is not a URL or nothing took it.
    virtual bool openUrl(const QString& url) = 0;
    // Hands `urls` to the program `applicationId` without waiting for it. False when a URL fails
    // the strict URL check; nothing is sent then.
    virtual bool openUrls(const QStringList& urls, const QString& applicationId) = 0;
    // Brings the program `applicationId` to the front (org.freedesktop.Application.Activate),
    // started the same way when it is not running, with the activation token of the user's click
    // that asked for it (or none). False when it could not be reached.
    virtual bool activate(const QString& applicationId, const QString& activationToken) = 0;
};
