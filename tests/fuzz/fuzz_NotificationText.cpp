// The notification text preparation on any text and limit: never longer than the limit, no
// control characters but line feeds, no direction embeddings, overrides or isolates.

#include "FuzzSupport.h"
#include "desktop/NotificationText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the limit, 1 to 1024; the rest is the text.
    const qsizetype maxLength = (data[0] | (data[1] & 0x03) << 8) + 1;
    const QString text = QString::fromUtf8(fuzzBytes(data + 2, size - 2));
    const QString shown = NotificationText::displayed(text, maxLength);
    FUZZ_CHECK(shown.size() <= maxLength);
    for (const QChar c : shown) {
        const char16_t u = c.unicode();
        FUZZ_CHECK(u == u'\n' || c.category() != QChar::Other_Control);
        FUZZ_CHECK(!(u >= 0x202A && u <= 0x202E) && !(u >= 0x2066 && u <= 0x2069));
    }
    return 0;
}
