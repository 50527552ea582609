#pragma once
// The client of the monitoring service: sign-in (e-mail and password to the account GUID) and
// the alarm feed of a GUID, over an HTTP session of its own. One process-wide instance. The
// e-mail address and password are sent percent-encoded, exactly as typed; the GUID as stored.
//
// Threads: may be called from any thread. A "Wrong url" failure (a GUID that makes no valid URL)
// completes synchronously on the calling thread before the call returns; every other outcome
// completes later on the main thread.

#include "core/ServiceClient.h"

#include <memory>

class HttpSession;

class APIClient : public ServiceClient {
public:
    static inline const QString errorDomain = QStringLiteral("TOVOErrorDomain");
    static constexpr qint64 maximumFeedSize = 16 * 1024 * 1024;
    static constexpr qint64 maximumSignInAnswerSize = 64 * 1024;

    static APIClient& sharedClient();

    void authenticate(const QString& email, const QString& password,
                      AuthenticateCompletion completion) override;
    void alarmFeed(const QString& guid, AlarmFeedCompletion completion) override;

    // Turn a service answer into its value; public for the benchmark, the tests and fuzzing.
    // No answer yields more text than its size cap, whatever its entities expand to.
    static AlarmList parseAlarmFeed(const QByteArray& body);
    static Result<QString> parseGuid(const QByteArray& body);

private:
    APIClient();
    ~APIClient() override;

    const std::unique_ptr<HttpSession> m_session;
};
