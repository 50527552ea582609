#include "FakeApplication.h"

FakeApplication::FakeApplication(QString applicationId)
    : m_applicationId(std::move(applicationId))
    , m_path(QLatin1Char('/') +
             QString(m_applicationId).replace(QLatin1Char('.'), QLatin1Char('/')))
{}

FakeApplication::~FakeApplication()
{
    if (m_registered) {
        QDBusConnection::sessionBus().unregisterObject(m_path);
        QDBusConnection::sessionBus().unregisterService(m_applicationId);
    }
}

bool FakeApplication::registerOnBus()
{
    m_registered = QDBusConnection::sessionBus().registerObject(
                       m_path, this, QDBusConnection::ExportScriptableSlots) &&
                   QDBusConnection::sessionBus().registerService(m_applicationId);
    return m_registered;
}

void FakeApplication::Open(const QStringList& uris, const QVariantMap& /*platformData*/)
{
    m_opened.append(uris);
}
