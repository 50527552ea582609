#pragma once
// The colours of the panel's rows, written out once for every test that looks at them: each
// level's background, and the text on it (black or white, whichever contrasts more).

#include <QColor>
#include <QList>
#include <QString>
#include <algorithm>

struct RowColour {
    QString level;
    QColor background;
    QColor text;
};

inline const QList<RowColour> rowColours{
    {QStringLiteral("Critical"), QColor::fromRgbF(0.8f, 0.2f, 0.0f), Qt::white},
    {QStringLiteral("Major"), QColor::fromRgbF(0.93f, 0.61f, 0.2f), Qt::black},
    {QStringLiteral("Minor"), QColor::fromRgbF(0.95f, 0.76f, 0.0f), Qt::black},
    {QStringLiteral("Resolved"), QColor::fromRgbF(0.34f, 0.54f, 0.69f), Qt::black},
    {QStringLiteral("Okay"), QColor::fromRgbF(0.54f, 0.69f, 0.34f), Qt::black},
    {QStringLiteral("Closed"), QColor::fromRgbF(0.54f, 0.69f, 0.34f), Qt::black},
};

inline RowColour rowColour(const QString& level)
{
    const auto row = std::find_if(rowColours.cbegin(), rowColours.cend(),
                                  [&level](const RowColour& each) { return each.level == level; });
    return row != rowColours.cend() ? *row : RowColour();
}
