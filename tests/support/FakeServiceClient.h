#pragma once
// A ServiceClient that answers from its tables on the main queue and records every call; like the
// real one it turns down a GUID with a blank at once ("Wrong url").

#include "core/ServiceClient.h"

#include <QHash>
#include <QStringList>

class FakeServiceClient : public ServiceClient {
public:
    // "<e-mail> <password>" to the account's GUID; any other sign-in fails.
    QHash<QString, QString> accounts;
    // A GUID's feed; the feed of any other GUID fails.
    QHash<QString, AlarmList> feeds;
    // "sign-in <e-mail> <password>" and "feed <guid>", in order.
    QStringList calls;

    void authenticate(const QString& email, const QString& password,
                      AuthenticateCompletion completion) override;
    void alarmFeed(const QString& guid, AlarmFeedCompletion completion) override;
};
