#pragma once
// Sorts a failed request of HttpSession into the few kinds a user can tell apart and act on.
// Errors of other domains are of none of these kinds.

#include "base/Error.h"

namespace TransportFailure {

enum class Kind {
    NoConnection,          // no answer: refused, reset, unresolved, no route, proxy trouble
    TimedOut,              // nothing for too long, or past the deadline
    CertificateNotTrusted, // the peer's certificate or its issuer failed verification
    ErrorStatus,           // an HTTP status of 400 or more (the error's code)
    UnreadableAnswer,      // an answer too large, cut off or not HTTP as we speak it
    Other,                 // not an error of the HTTP session
};

Kind kindOf(const Error& error);

} // namespace TransportFailure
