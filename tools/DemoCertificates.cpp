#include "DemoCertificates.h"

#include <QFile>
#include <QProcess>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString DemoCertificates::caPath() const
{
    return folder.filePath(QStringLiteral("ca.pem"));
}

bool DemoCertificates::create()
{
    if (!folder.isValid()) {
        problem = QStringLiteral("no temporary folder: ") + folder.errorString();
        return false;
    }
    const auto path = [this](const char* name) { return folder.filePath(QString::fromUtf8(name)); };
    QFile extensions(path("server.ext"));
    if (!extensions.open(QIODevice::WriteOnly)) {
        problem = extensions.errorString();
        return false;
    }
    extensions.write("basicConstraints = critical, CA:FALSE\n"
                     "keyUsage = critical, digitalSignature\n"
                     "extendedKeyUsage = serverAuth\n"
                     "subjectAltName = IP:127.0.0.1, DNS:localhost\n");
    extensions.close();

    const QStringList ecKey{
        QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const bool made =
        openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey +
                QStringList{
                    QStringLiteral("-keyout"), path("ca.key"), QStringLiteral("-out"), caPath(),
                    QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=T-O-VO demo CA"), QStringLiteral("-addext"),
                    QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
                    QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")}) &&
        openssl(QStringList{QStringLiteral("req")} + ecKey +
                QStringList{QStringLiteral("-keyout"), path("server.key"), QStringLiteral("-out"),
                            path("server.csr"), QStringLiteral("-subj"),
                            QStringLiteral("/CN=localhost")}) &&
        openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                 path("server.csr"), QStringLiteral("-CA"), caPath(), QStringLiteral("-CAkey"),
                 path("ca.key"), QStringLiteral("-CAcreateserial"), QStringLiteral("-days"),
                 QStringLiteral("2"), QStringLiteral("-extfile"), path("server.ext"),
                 QStringLiteral("-out"), path("server.pem")});
    if (!made)
        return false;
    // Nobody needs the CA's key once the server certificate is signed.
    QFile::remove(path("ca.key"));

    certificate = QSslCertificate(readFile(path("server.pem")), QSsl::Pem);
    key = QSslKey(readFile(path("server.key")), QSsl::Ec, QSsl::Pem);
    if (certificate.isNull() || key.isNull()) {
        problem = QStringLiteral("openssl wrote no usable certificate or key");
        return false;
    }
    return true;
}

bool DemoCertificates::openssl(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        problem = QStringLiteral("openssl %1 failed: %2%3")
                      .arg(arguments.first(), process.errorString(),
                           QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}
