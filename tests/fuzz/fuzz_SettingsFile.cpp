// The settings file reader on any file: a file that is not text reads as empty, and storing a
// value replaces whatever the file held with a file from which that value reads back.

#include "FuzzSupport.h"
#include "core/SettingsItem.h"

#include <QStringDecoder>

namespace {
QString folder;
int files = 0;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    folder = startApplication(QStringLiteral("tovo.TOVO"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A name of its own for each input: QSettings serves a file it has seen from its cache.
    const QString path = folder + QStringLiteral("/settings-%1.conf").arg(++files);
    const QByteArray bytes = fuzzBytes(data, size);
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    {
        SettingsFile settings(path);
        SettingsItem text(QStringLiteral("guid"), QString(), settings);
        SettingsItem number(QStringLiteral("interval"), qint64(60), settings);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(bytes);
        if (decoded.contains(QChar(0)) || utf8.hasError()) {
            FUZZ_CHECK(text.value() == SettingsValue(QString()));
            FUZZ_CHECK(number.value() == SettingsValue(qint64(60)));
        }
        const QString value = QStringLiteral("G-%1").arg(files);
        FUZZ_CHECK(text.setValue(value));
        FUZZ_CHECK(readBack(path, QStringLiteral("guid")) == value);
    }
    QFile::remove(path);
    return 0;
}
