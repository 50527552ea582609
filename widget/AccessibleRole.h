#pragma once
// The role a widget has for screen readers where Qt's own would mislead: a top-level QWidget is a
// "filler" to Qt and a column of row widgets no list at all. set() gives a widget its role (also
// as the dynamic property "accessibleRole" with a QAccessible::Role name, e.g. "ListItem", in an
// interface resource); install() makes Qt's accessibility read it, and names the application by
// its display name instead of its application id.

#include <QAccessible>

class QWidget;

class AccessibleRole {
public:
    static constexpr const char* property = "accessibleRole";

    // Once, after the application object exists and before a window is shown.
    static void install();
    // Before the widget is first shown: the accessibility tools ask for a role only once.
    static void set(QWidget* widget, QAccessible::Role role);
};
