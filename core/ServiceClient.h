#pragma once
// What the programs ask of the monitoring service: sign-in (e-mail and password to the account
// GUID) and the alarm feed of a GUID. APIClient is the real one; tests hand in a fake.
//
// Every completion runs exactly once, on the main thread; a request that cannot even be made
// ("Wrong url") may complete before the call returns.

#include "core/Alarm.h"
#include "core/Result.h"

#include <QString>
#include <functional>

class ServiceClient {
public:
    using AuthenticateCompletion = std::function<void(Result<QString>)>;
    using AlarmFeedCompletion = std::function<void(Result<AlarmList>)>;

    virtual ~ServiceClient() = default;

    virtual void authenticate(const QString& email, const QString& password,
                              AuthenticateCompletion completion) = 0;
    virtual void alarmFeed(const QString& guid, AlarmFeedCompletion completion) = 0;
};
