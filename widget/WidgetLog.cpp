#include "widget/WidgetLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcWidget, "tovo.widget", QtInfoMsg)
