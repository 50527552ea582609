#pragma once
// The colour and title tables of the widget's rows: colours by alarm level word and by entry
// type, and the message rows' titles.

#include "core/AlarmType.h"

#include <QColor>
#include <QString>
#include <optional>

class Helper {
public:
    // The level's colour; transparent for an absent key or any text that is not one of the level
    // words (compared case-sensitively, without trimming).
    static QColor colorForKey(const std::optional<QString>& key);
    // Green for NoAlarms, red for every other type.
    static QColor colorForKey(AlarmType type);
    static QString titleForKey(AlarmType type);
};
