#include "bus/ApplicationAdaptor.h"

#include "bus/ApplicationHost.h"

ApplicationAdaptor::ApplicationAdaptor(ApplicationHost* host)
    : QDBusAbstractAdaptor(host)
    , m_host(host)
{}

// platform_data (startup ids, activation tokens) is not needed: we have no window to raise.
void ApplicationAdaptor::Activate(const QVariantMap& /*platformData*/)
{
    m_host->handleActivate();
}

void ApplicationAdaptor::Open(const QStringList& uris, const QVariantMap& /*platformData*/)
{
    m_host->handleOpen(uris);
}

void ApplicationAdaptor::ActivateAction(const QString& actionName, const QVariantList& parameter,
                                        const QVariantMap& /*platformData*/)
{
    m_host->handleActivateAction(actionName, parameter);
}
