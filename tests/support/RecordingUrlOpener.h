#pragma once
// A UrlOpener for tests that opens nothing and records what it was asked to open.

#include "desktop/UrlOpener.h"

class RecordingUrlOpener : public UrlOpener {
public:
    bool openUrl(const QString& url) override
    {
        opened.append(url);
        return true;
    }
    bool openUrls(const QStringList& urls, const QString& applicationId) override
    {
        handedOver.append(applicationId + u' ' + urls.join(u' '));
        return true;
    }
    bool activate(const QString& /*applicationId*/, const QString& /*activationToken*/) override
    {
        return true;
    }

    QStringList opened;     // in the browser
    QStringList handedOver; // "<application id> <url>...", to our programs
};
