#include "desktop/NotificationText.h"

#include <QTextBoundaryFinder>

namespace NotificationText {

namespace {
bool isShown(QChar c)
{
    if (c == QLatin1Char('\n'))
        return true;
    if (c.category() == QChar::Other_Control)
        return false;
    const char16_t u = c.unicode();
    return !(u >= 0x202A && u <= 0x202E) && !(u >= 0x2066 && u <= 0x2069);
}
} // namespace

QString displayed(QStringView text, qsizetype maxLength)
{
    // One code point past the last possible cut is enough to place it at a grapheme boundary.
    const qsizetype enough = maxLength + 2;
    QString shown;
    shown.reserve(std::min(text.size(), enough));
    for (qsizetype i = 0; i < text.size() && shown.size() < enough; ++i) {
        if (isShown(text[i]))
            shown.append(text[i]);
    }
    if (shown.size() <= maxLength)
        return shown;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, shown);
    graphemes.setPosition(maxLength - 1);
    if (!graphemes.isAtBoundary())
        graphemes.toPreviousBoundary();
    shown.truncate(std::max<qsizetype>(graphemes.position(), 0));
    return shown.append(QChar(0x2026));
}

} // namespace NotificationText
