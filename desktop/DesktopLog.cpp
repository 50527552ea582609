#include "desktop/DesktopLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcDesktop, "tovo.desktop", QtInfoMsg)
