#include "TestCertificates.h"

#include "DemoCertificates.h"

#include <QFile>
#include <QSslSocket>

namespace {

// Two authorities with a server certificate each; only the first one is trusted.
struct Material {
    Material()
    {
        for (DemoCertificates& authority : authorities) {
            if (!authority.create()) {
                qWarning("%s", qPrintable(authority.error()));
                return;
            }
        }
        made = true;
    }

    DemoCertificates authorities[2];
    bool made = false;
};

Material& material()
{
    static Material once;
    return once;
}

} // namespace

bool TestCertificates::install()
{
    if (material().made)
        qputenv("SSL_CERT_FILE", QFile::encodeName(material().authorities[0].caPath()));
    return material().made;
}

QSslConfiguration TestCertificates::server(bool trusted)
{
    const DemoCertificates& authority = material().authorities[trusted ? 0 : 1];
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(authority.serverCertificate());
    configuration.setPrivateKey(authority.serverKey());
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}
