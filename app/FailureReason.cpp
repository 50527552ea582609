#include "app/FailureReason.h"

#include "net/TransportFailure.h"

QString FailureReason::of(const Error& error)
{
    switch (TransportFailure::kindOf(error)) {
    case TransportFailure::Kind::TimedOut:
        return tr("timed out");
    case TransportFailure::Kind::CertificateNotTrusted:
        return tr("certificate not trusted");
    case TransportFailure::Kind::ErrorStatus:
        return tr("HTTP %1").arg(error.code());
    case TransportFailure::Kind::UnreadableAnswer:
        return tr("unreadable answer");
    case TransportFailure::Kind::NoConnection:
    case TransportFailure::Kind::Other:
        break;
    }
    // Also the client's own refusal of a token that makes no URL: no request went out.
    return tr("no connection");
}
