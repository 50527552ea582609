#include "xml/XmlLog.h"

// Information and above by default: debug lines only when switched on.
Q_LOGGING_CATEGORY(lcXml, "tovo.xml", QtInfoMsg)
