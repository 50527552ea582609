#include "app/AppLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcApp, "tovo.app", QtInfoMsg)
