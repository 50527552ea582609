#pragma once
// Throw-away TLS material for tests, made as the demo service makes its own: a test CA whose
// server certificate (for localhost and 127.0.0.1) is trusted through SSL_CERT_FILE, and a server
// certificate from another CA that nothing trusts. Call install() before the first request: the
// HTTP session reads SSL_CERT_FILE once per process.

#include <QSslCertificate>
#include <QSslKey>

class TestCertificates {
public:
    struct Identity {
        QSslCertificate certificate;
        QSslKey key;
    };

    // Makes the material (once per process) and points SSL_CERT_FILE at the test CA; false when
    // the openssl command failed.
    static bool install();

    static const Identity& trustedServer();
    static const Identity& untrustedServer();
};
