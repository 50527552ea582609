#pragma once
// Text equality for the whole program: Unicode canonical equivalence, case-sensitive, no
// trimming. A precomposed letter equals the same letter followed by its combining mark.

#include <QString>
#include <QStringView>

namespace UnicodeText {

bool equal(const QString& a, const QString& b);

} // namespace UnicodeText
