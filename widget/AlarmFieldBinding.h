#pragma once
// Binds the labels of an interface resource to the fields of an Alarm: every QLabel whose
// dynamic property "alarmField" names a field (e.g. "alarmAgent") shows that field as plain text,
// under the notifications' text rules (a wrapping label the body's length, any other the
// title's), and the root's accessible name reads the level first, then the other bound texts in
// order. The level word is shown in the user's language when it is one of the known ones.

#include <QList>
#include <QPointer>

class Alarm;
class QLabel;
class QWidget;

class AlarmFieldBinding {
public:
    static constexpr const char* fieldProperty = "alarmField";
    static constexpr const char* levelField = "alarmLevel";

    explicit AlarmFieldBinding(QWidget* root);

    // Shows `alarm`'s fields; without an alarm every bound label is emptied.
    void show(const Alarm* alarm);

private:
    QPointer<QWidget> m_root;
    QList<QPointer<QLabel>> m_labels;
};
