#include "bus/ApplicationAdaptor.h"

#include "bus/ApplicationBus.h"
#include "bus/ApplicationHost.h"

ApplicationAdaptor::ApplicationAdaptor(ApplicationHost* host)
    : QDBusAbstractAdaptor(host)
    , m_host(host)
{}

// Only an activation brings a window of ours up, so only Activate hands its token on.
void ApplicationAdaptor::Activate(const QVariantMap& platformData)
{
    m_host->handleActivate(ApplicationBus::activationToken(platformData));
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
