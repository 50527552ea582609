#include "FakeServiceClient.h"

#include "base/MainQueue.h"

namespace {

// `text` makes no URL when it holds a blank (a GUID; credentials are sent encoded).
template <typename T>
void answer(const QString& text, std::optional<T> value, std::function<void(Result<T>)> completion)
{
    const auto failure = [](const char* message) {
        return Result<T>::failure(Error::withDescription(QStringLiteral("TOVOErrorDomain"), 0,
                                                         QString::fromLatin1(message)));
    };
    if (text.contains(u' '))
        return completion(failure("Wrong url"));
    MainQueue::async([value = std::move(value), completion = std::move(completion), failure] {
        completion(value ? Result<T>::success(*value) : failure("Error"));
    });
}

} // namespace

void FakeServiceClient::authenticate(const QString& email, const QString& password,
                                     AuthenticateCompletion completion)
{
    const QString account = email + u' ' + password;
    calls.append(QStringLiteral("sign-in ") + account);
    const auto found = accounts.constFind(account);
    answer(QString(), found == accounts.cend() ? std::nullopt : std::optional<QString>(*found),
           std::move(completion));
}

void FakeServiceClient::alarmFeed(const QString& guid, AlarmFeedCompletion completion)
{
    calls.append(QStringLiteral("feed ") + guid);
    const auto found = feeds.constFind(guid);
    answer(guid, found == feeds.cend() ? std::nullopt : std::optional<AlarmList>(*found),
           std::move(completion));
}
