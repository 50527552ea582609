#pragma once
// The short reason a failed poll shows the user: "no connection", "timed out", "certificate not
// trusted", "HTTP 503" or "unreadable answer". Made from the error's domain and code alone,
// never from its description, so it cannot carry a URL, a GUID or text the server sent.

#include "base/Error.h"

#include <QCoreApplication>
#include <QString>

class FailureReason {
    Q_DECLARE_TR_FUNCTIONS(FailureReason)
public:
    static QString of(const Error& error);
};
