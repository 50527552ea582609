#include "core/CoreLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcCore, "tovo.core", QtInfoMsg)
