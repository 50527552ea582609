#include "bus/BusLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcBus, "tovo.bus", QtInfoMsg)
