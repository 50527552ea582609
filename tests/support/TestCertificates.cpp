#include "TestCertificates.h"

#include "DemoCertificates.h"

#include <QFile>

namespace {

// Two throw-away authorities with a server certificate each; only the first one is trusted.
struct Material {
    Material()
    {
        for (int i = 0; i < 2; ++i) {
            if (!authorities[i].create()) {
                qWarning("%s", qPrintable(authorities[i].error()));
                return;
            }
            identities[i] = {authorities[i].serverCertificate(), authorities[i].serverKey()};
        }
        made = true;
    }

    DemoCertificates authorities[2];
    TestCertificates::Identity identities[2];
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

const TestCertificates::Identity& TestCertificates::trustedServer()
{
    return material().identities[0];
}

const TestCertificates::Identity& TestCertificates::untrustedServer()
{
    return material().identities[1];
}
