#include "base/BaseLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcBase, "tovo.base", QtInfoMsg)
