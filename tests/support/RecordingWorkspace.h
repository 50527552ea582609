#pragma once
// A Workspace that opens nothing and records what it was asked to open. Install it with
// Workspace::setShared for the test's lifetime.

#include "platform/Workspace.h"

#include <QList>
#include <QStringList>
#include <utility>

class RecordingWorkspace : public Workspace {
public:
    bool openUrl(const QString& url) override
    {
        browserUrls.append(url);
        return true;
    }
    bool openUrls(const QStringList& urls, const QString& applicationId) override
    {
        applicationUrls.append({urls, applicationId});
        return true;
    }

    QStringList browserUrls;
    QList<std::pair<QStringList, QString>> applicationUrls;
};
