// The tray application's token store, driven hard for the durability benchmark
// (run-durability.sh kills it at random moments):
//
//   tovo-bench-durability-writer read          prints the number of the stored token (0: none);
//                                              exits 1 when the store holds anything else
//   tovo-bench-durability-writer write <last>  prints the stored number as read, then stores the
//                                              tokens after it up to number <last>, printing each
//                                              number once stored
//
// The tokens differ in length (and so does the file) from one number to the next, so a file
// that mixed two writes would not read back as any token.

#include "Identity.h"
#include "base/SettingsFile.h"
#include "core/Keychain.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cstdio>

namespace {

QString token(qint64 number)
{
    const auto length = static_cast<qsizetype>(number * 7919 % 400);
    return QStringLiteral("guid-%1-").arg(number) +
           QString(length, QChar(u'a' + static_cast<char16_t>(number % 26)));
}

// The number of `text` when it is one of our tokens, -1 otherwise.
qint64 numberOf(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^guid-([1-9][0-9]{0,8})-"));
    const QRegularExpressionMatch match = shape.match(text);
    const qint64 number = match.hasMatch() ? match.captured(1).toLongLong() : -1;
    return number > 0 && text == token(number) ? number : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SettingsFile::setStandardLocation(Identity::settingsFolder, Identity::trayId);
    const QStringList arguments = app.arguments();
    const bool write = arguments.size() == 3 && arguments.at(1) == u"write";
    if (!write && (arguments.size() != 2 || arguments.at(1) != u"read")) {
        std::fputs("usage: tovo-bench-durability-writer read | write <last>\n", stderr);
        return 2;
    }

    // Started as the tray application starts: the stored token first.
    Keychain keychain(QStringLiteral("tovo"));
    const std::optional<QString> stored = keychain.storedToken();
    const qint64 current = stored ? numberOf(*stored) : 0;
    if (current < 0) {
        std::fputs("the store holds no token of ours\n", stderr);
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(current));
    std::fflush(stdout);
    if (!write)
        return 0;
    const qint64 last = arguments.at(2).toLongLong();
    for (qint64 number = current + 1; number <= last; ++number) {
        if (!keychain.storeToken(token(number))) {
            std::fprintf(stderr, "token %lld could not be stored\n",
                         static_cast<long long>(number));
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(number));
        std::fflush(stdout);
    }
    return 0;
}
