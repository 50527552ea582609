// The strict URL check on any text: what passes is a scheme and ':' followed by printable ASCII
// of the URL character set only, with complete percent escapes and one '#' at most.

#include "FuzzSupport.h"
#include "net/UrlText.h"

#include <cctype>
#include <cstring>

namespace {

bool isHex(QChar c)
{
    return c.unicode() < 0x80 && std::isxdigit(c.unicode()) != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    if (!UrlText::isValid(text))
        return 0;
    static const char urlCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                        "0123456789-._~:/?#[]@!$&'()*+,;=%";
    FUZZ_CHECK(text.front().isLetter() && text.contains(u':') && text.count(u'#') <= 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        FUZZ_CHECK(c > 0 && c < 0x80 && std::strchr(urlCharacters, c) != nullptr);
        if (c == u'%')
            FUZZ_CHECK(i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2]));
    }
    return 0;
}
