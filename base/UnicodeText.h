#pragma once
// Text equality for the whole program: Unicode canonical equivalence, case-sensitive, no
// trimming. A precomposed letter equals the same letter followed by its combining mark. Both
// functions take time linear in the text, whatever it holds.

#include <QString>
#include <QStringView>

namespace UnicodeText {

bool equal(const QString& a, const QString& b);

// The one form of `text` that all texts equal to it share: a key for hashes and sets.
QString canonical(const QString& text);

} // namespace UnicodeText
