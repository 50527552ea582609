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
    if (a == b)
        return true;
    // ASCII text is its own canonical decomposition, so two different ASCII texts can never be
    // equivalent; this keeps the common case free of normalisation.
    if (isAscii(a) && isAscii(b))
        return false;
    return a.normalized(QString::NormalizationForm_D) == b.normalized(QString::NormalizationForm_D);
}

} // namespace UnicodeText
