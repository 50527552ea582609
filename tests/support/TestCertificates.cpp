#include "TestCertificates.h"

#include "DemoCertificates.h"

#include <QFile>

namespace {

// Two throw-away authorities, each with a server certificate for localhost: the first one's CA is
// the one tests trust, the second one's nobody does.
struct Material {
    DemoCertificates trustedAuthority;
    DemoCertificates unknownAuthority;
    TestCertificates::Identity trusted;
    TestCertificates::Identity untrusted;
    bool ok = false;
};

Material& material()
{
    static Material made;
    static const bool once = [] {
        for (DemoCertificates* authority : {&made.trustedAuthority, &made.unknownAuthority}) {
            if (!authority->create()) {
                qWarning("%s", qPrintable(authority->error()));
                return false;
            }
        }
        made.trusted = {made.trustedAuthority.serverCertificate(),
                        made.trustedAuthority.serverKey()};
        made.untrusted = {made.unknownAuthority.serverCertificate(),
                          made.unknownAuthority.serverKey()};
        made.ok = true;
        return true;
    }();
    Q_UNUSED(once);
    return made;
}

} // namespace

bool TestCertificates::install()
{
    Material& m = material();
    if (m.ok)
        qputenv("SSL_CERT_FILE", QFile::encodeName(m.trustedAuthority.caPath()));
    return m.ok;
}

const TestCertificates::Identity& TestCertificates::trustedServer()
{
    return material().trusted;
}

const TestCertificates::Identity& TestCertificates::untrustedServer()
{
    return material().untrusted;
}
