#pragma once
// A ServiceClient for tests: answers sign-ins and feed requests from its tables instead of a
// service, on the main queue as the real client does, and records every call. Like the real
// client it turns down a GUID with a blank at once, before the call returns ("Wrong url").

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
