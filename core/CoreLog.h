#pragma once
// Debug output of the client core, category "tovo.core": off unless QT_LOGGING_RULES turns it on
// ("tovo.*.debug=true"). Never a password, a GUID or a URL that may carry one.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCore)
