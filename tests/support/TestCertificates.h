#pragma once
// Throw-away TLS material, made once per process: a test CA trusted through SSL_CERT_FILE with a
// server certificate for 127.0.0.1, and a server certificate from a CA that nothing trusts.

#include <QSslConfiguration>

namespace TestCertificates {

// Makes the material and points SSL_CERT_FILE at the test CA; false when openssl failed. Before
// the first request: the HTTP session reads SSL_CERT_FILE once per process.
bool install();
// A server's TLS configuration with the trusted or the untrusted certificate.
QSslConfiguration server(bool trusted);

} // namespace TestCertificates
