// The tray application's URL handler on any URL text before the launch: it starts nothing and
// shows nothing, and a token it stores is what a new reader of the settings file finds there.

#include "FuzzSupport.h"
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "core/Keychain.h"

namespace {

// Any effect on the world is a failure: a URL only marks the launch or stores a token.
class NoServices : public AppServices {
public:
    void startNotificationTask(const QString&) override { fail(); }
    void stopNotificationTask() override { fail(); }
    void setPollListener(PollListener) override {}
    void postNotification(const QString&, const QString&) override { fail(); }
    void setLoginItemEnabled(const QString&, bool) override { fail(); }
    int runAlert(const Alert&) override { return fail(), -1; }
    void openUrl(const QString&) override { fail(); }
    void openTodayPanel(const QString&) override { fail(); }
    void terminate() override { fail(); }
    void registerForRemoteNotifications(int) override { fail(); }
    QStringList launchArguments() const override { return {}; }

private:
    static void fail()
    {
        fuzzCheckFailed("a URL event reached the application's services", __FILE__, __LINE__);
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startApplication(QStringLiteral("tovo.TOVO"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString url = QString::fromUtf8(fuzzBytes(data, size));
    NoServices services;
    AppDelegate delegate(services);
    delegate.handleURLEvent(url);
    const RanBy ranBy = delegate.ranBy();
    const QString token = Keychain(AppDelegate::tokenStore).storedToken().value_or(QString());
    // Only our own URLs with a token of a bounded length count.
    const bool ours =
        url.startsWith(AppDelegate::urlPrefix, Qt::CaseInsensitive) &&
        QString(url).remove(AppDelegate::urlPrefix).size() <= AppDelegate::maxTokenLength;
    if (!ours)
        FUZZ_CHECK(ranBy == RanBy::User);
    else if (ranBy == RanBy::Widget)
        FUZZ_CHECK(token.size() <= AppDelegate::maxTokenLength);
    else
        FUZZ_CHECK(ranBy == RanBy::Launcher);
    FUZZ_CHECK(readBack(SettingsFile::standardPath(), QStringLiteral("guid")).value_or(QString()) ==
               token);
    return 0;
}
