#include "UnicodeText.h"

namespace {

bool isAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace

namespace UnicodeText {

bool equal(const QString& a, const QString& b)
{
    // Two different ASCII texts can never be equivalent, so the common case skips normalisation.
    return a == b || ((!isAscii(a) || !isAscii(b)) && canonical(a) == canonical(b));
}

QString canonical(const QString& text)
{
    // ASCII text is its own canonical decomposition.
    return isAscii(text) ? text : text.normalized(QString::NormalizationForm_D);
}

} // namespace UnicodeText
