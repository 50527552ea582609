#include "net/NetLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcNet, "tovo.net", QtInfoMsg)
