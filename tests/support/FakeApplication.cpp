#include "FakeApplication.h"

namespace {

QString objectPathOf(const QString& applicationId)
{
    QString path = QLatin1Char('/') + applicationId;
    path.replace(QLatin1Char('.'), QLatin1Char('/'));
    return path;
}

} // namespace

FakeApplication::FakeApplication(QString applicationId, QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_applicationId(std::move(applicationId))
    , m_bus(std::move(bus))
{}

FakeApplication::~FakeApplication()
{
    if (m_registered) {
        m_bus.unregisterObject(objectPathOf(m_applicationId));
        m_bus.unregisterService(m_applicationId);
    }
}

bool FakeApplication::registerOnBus()
{
    m_registered = m_bus.registerObject(objectPathOf(m_applicationId), this,
                                        QDBusConnection::ExportScriptableSlots) &&
                   m_bus.registerService(m_applicationId);
    return m_registered;
}

void FakeApplication::Open(const QStringList& uris, const QVariantMap& /*platformData*/)
{
    m_opened.append(uris);
    Q_EMIT opened(uris);
}

void FakeApplication::Activate(const QVariantMap& /*platformData*/)
{
    ++m_activations;
    Q_EMIT activated();
}

void FakeApplication::ActivateAction(const QString& /*name*/, const QVariantList& /*parameter*/,
                                     const QVariantMap& /*platformData*/)
{}
