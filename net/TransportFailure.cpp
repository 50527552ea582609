#include "net/TransportFailure.h"

#include "net/HttpSession.h"

#include <curl/curl.h>

namespace TransportFailure {

namespace {

Kind kindOfCurlCode(int code)
{
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return Kind::TimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return Kind::CertificateNotTrusted;
    case CURLE_PARTIAL_FILE:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_UNSUPPORTED_PROTOCOL: // a redirect from https to http
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return Kind::UnreadableAnswer;
    default:
        // Refused, reset, unresolved, a proxy that would not connect, a failed handshake.
        return Kind::NoConnection;
    }
}

} // namespace

Kind kindOf(const Error& error)
{
    if (error.domain() == HttpSession::httpErrorDomain)
        return Kind::ErrorStatus;
    if (error.domain() != HttpSession::transportErrorDomain)
        return Kind::Other;
    switch (error.code()) {
    case HttpSession::TimedOut:
        return Kind::TimedOut;
    case HttpSession::BodyTooLarge:
    case HttpSession::HeadersTooLarge:
        return Kind::UnreadableAnswer;
    case HttpSession::NoBody:
        return Kind::NoConnection;
    default:
        return kindOfCurlCode(error.code());
    }
}

} // namespace TransportFailure
