#pragma once
// The colour and title tables of the widget's rows: colours by alarm level word and by entry
// type, and the message rows' titles.

#include "core/AlarmType.h"

#include <QColor>
#include <QCoreApplication>
#include <QString>
#include <optional>

class Helper {
    Q_DECLARE_TR_FUNCTIONS(Helper)
public:
    // The level's colour; transparent for an absent key or any text that is not one of the level
    // words (compared case-sensitively, without trimming).
    static QColor colorForKey(const std::optional<QString>& key);
    // Green for NoAlarms, red for every other type.
    static QColor colorForKey(AlarmType type);
    static QString titleForKey(AlarmType type);
    // A level word as the user reads it: one of the known words in the user's language, any
    // other text as it is.
    static QString levelTitle(const QString& level);
};
