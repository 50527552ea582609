#include "launcher/LauncherLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcLauncher, "tovo.launcher", QtInfoMsg)
