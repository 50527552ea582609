#pragma once
// Throw-away TLS material for tests, made once per process as the demo service makes its own: a
// test CA whose server certificate (for localhost and 127.0.0.1) is trusted through SSL_CERT_FILE,
// and a server certificate from another CA that nothing trusts. Call install() before the first
// request: the HTTP session reads SSL_CERT_FILE once per process.

#include <QSslConfiguration>

namespace TestCertificates {

// Makes the material and points SSL_CERT_FILE at the test CA; false when openssl failed.
bool install();
// A server's TLS configuration with the trusted or the untrusted certificate.
QSslConfiguration server(bool trusted);

} // namespace TestCertificates
