#pragma once
// A modal message box that comes to the front: the program has no window of its own, so the
// box must not open behind whatever the user is working in.

#include <QString>
#include <QStringList>

class Alert {
public:
    enum class Style { Warning = 0, Informational = 1, Critical = 2 };

    QString windowTitle;
    QString messageText;
    QString informativeText;
    Style style = Style::Warning;
    QStringList buttonTitles;

    void addButton(const QString& title) { buttonTitles.append(title); }

    // Shows the box and returns the index of the button pressed (-1 when it was closed).
    int runModal() const;
};
