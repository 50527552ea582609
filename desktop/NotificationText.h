#pragma once
// What a notification shows of a text that came from elsewhere (the alarm feed): no control
// characters but line feeds, no direction embeddings, overrides or isolates that would reorder
// what the server lays out around it, and no more than a notification can show.

#include <QString>
#include <QStringView>

namespace NotificationText {

// In UTF-16 code units, the ellipsis included.
inline constexpr qsizetype maxSummaryLength = 100;
inline constexpr qsizetype maxBodyLength = 500;

// `text` without those characters; when still longer than `maxLength` (at least 1), cut at the
// last grapheme boundary that leaves room for "…", which is appended. Reads no more of `text`
// than it needs, so a text of any size costs little.
QString displayed(QStringView text, qsizetype maxLength);

} // namespace NotificationText
