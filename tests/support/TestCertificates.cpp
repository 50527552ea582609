#include "TestCertificates.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Material {
    bool ok = false;
    TestCertificates::Identity trusted;
    TestCertificates::Identity untrusted;
    QTemporaryDir folder;
};

bool openssl(const QString& folder, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning("openssl %s failed: %s", qPrintable(arguments.join(u' ')),
                 process.readAll().constData());
        return false;
    }
    return true;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TestCertificates::Identity identity(const QString& folder, const QString& name)
{
    return {QSslCertificate(readFile(folder + u'/' + name + QStringLiteral(".pem"))),
            QSslKey(readFile(folder + u'/' + name + QStringLiteral(".key")), QSsl::Ec)};
}

void make(Material& made)
{
    if (!made.folder.isValid())
        return;
    const QString dir = made.folder.path();
    const QStringList ecKey = {
        QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const QString names = QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1");
    QFile extensions(dir + QStringLiteral("/server.ext"));
    if (!extensions.open(QIODevice::WriteOnly))
        return;
    extensions.write(names.toUtf8() + '\n');
    extensions.close();

    made.ok =
        openssl(dir, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey +
                         QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"),
                                     QStringLiteral("-out"), QStringLiteral("ca.pem"),
                                     QStringLiteral("-days"), QStringLiteral("2"),
                                     QStringLiteral("-subj"), QStringLiteral("/CN=Tovo Test CA"),
                                     QStringLiteral("-addext"),
                                     QStringLiteral("basicConstraints=critical,CA:TRUE")}) &&
        openssl(dir, QStringList{QStringLiteral("req")} + ecKey +
                         QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"),
                                     QStringLiteral("-out"), QStringLiteral("server.csr"),
                                     QStringLiteral("-subj"), QStringLiteral("/CN=localhost")}) &&
        openssl(dir, {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                      QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.pem"),
                      QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                      QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
                      QStringLiteral("server.pem"), QStringLiteral("-days"), QStringLiteral("2"),
                      QStringLiteral("-extfile"), QStringLiteral("server.ext")}) &&
        openssl(dir, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey +
                         QStringList{QStringLiteral("-keyout"), QStringLiteral("other.key"),
                                     QStringLiteral("-out"), QStringLiteral("other.pem"),
                                     QStringLiteral("-days"), QStringLiteral("2"),
                                     QStringLiteral("-subj"), QStringLiteral("/CN=localhost"),
                                     QStringLiteral("-addext"), names});
    if (made.ok) {
        made.trusted = identity(dir, QStringLiteral("server"));
        made.untrusted = identity(dir, QStringLiteral("other"));
        made.ok = !made.trusted.key.isNull() && !made.untrusted.key.isNull();
    }
}

Material& material()
{
    static Material m;
    static const bool made = (make(m), true);
    Q_UNUSED(made);
    return m;
}

} // namespace

bool TestCertificates::install()
{
    Material& m = material();
    if (m.ok)
        qputenv("SSL_CERT_FILE", QFile::encodeName(m.folder.filePath(QStringLiteral("ca.pem"))));
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
