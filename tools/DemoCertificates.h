#pragma once
// A throwaway certificate authority and a server certificate for 127.0.0.1 and localhost,
// made with the openssl command in a private temporary folder that goes away with the object.
// Clients trust the service by pointing SSL_CERT_FILE at caPath().

#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTemporaryDir>

class DemoCertificates {
public:
    // False, with a reason in error(), when openssl is missing or fails.
    bool create();

    QString caPath() const;
    QSslCertificate serverCertificate() const { return certificate; }
    QSslKey serverKey() const { return key; }
    QString error() const { return problem; }

private:
    bool openssl(const QStringList& arguments);

    QTemporaryDir folder{QDir::tempPath() + QStringLiteral("/tovo-demo-service.XXXXXX")};
    QSslCertificate certificate;
    QSslKey key;
    QString problem;
};
