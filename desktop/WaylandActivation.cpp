#include "desktop/WaylandActivation.h"

#include "xdg-activation-v1-client-protocol.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstring>
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

namespace {

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t /*version*/)
{
    if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        *static_cast<xdg_activation_v1**>(data) = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void onGlobalRemove(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

const wl_registry_listener registryListener{onGlobal, onGlobalRemove};

void onTokenDone(void* data, xdg_activation_token_v1* /*request*/, const char* token)
{
    *static_cast<QString*>(data) = QString::fromUtf8(token);
}

const xdg_activation_token_v1_listener tokenListener{onTokenDone};

} // namespace

WaylandActivation::WaylandActivation(wl_display* display, wl_event_queue* queue,
                                     xdg_activation_v1* activation)
    : m_display(display)
    , m_queue(queue)
    , m_activation(activation)
{}

WaylandActivation* WaylandActivation::instance()
{
    static WaylandActivation* const bound = bind();
    return bound;
}

WaylandActivation* WaylandActivation::bind()
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native || !QGuiApplication::platformName().startsWith(u"wayland"))
        return nullptr;
    auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    if (!display)
        return nullptr;
    wl_event_queue* queue = wl_display_create_queue(display);
    auto* onQueue = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(onQueue), queue);
    wl_registry* registry = wl_display_get_registry(onQueue);
    wl_proxy_wrapper_destroy(onQueue);
    xdg_activation_v1* activation = nullptr;
    wl_registry_add_listener(registry, &registryListener, &activation);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    if (!activation) {
        wl_event_queue_destroy(queue);
        return nullptr;
    }
    return new WaylandActivation(display, queue, activation);
}

void WaylandActivation::activate(QWindow* window, const QString& activationToken)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* surface =
        window ? static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window))
               : nullptr;
    if (!surface)
        return;
    const QString token = activationToken.isEmpty() ? tokenWithoutClick(surface) : activationToken;
    if (token.isEmpty())
        return;
    xdg_activation_v1_activate(m_activation, token.toUtf8().constData(), surface);
    wl_display_flush(m_display);
}

QString WaylandActivation::tokenWithoutClick(wl_surface* surface)
{
    // No input serial: the compositor makes a token that grants no focus, and activating with
    // it marks the window as demanding attention.
    QString token;
    xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(m_activation);
    xdg_activation_token_v1_add_listener(request, &tokenListener, &token);
    xdg_activation_token_v1_set_surface(request, surface);
    xdg_activation_token_v1_set_app_id(request,
                                       QGuiApplication::desktopFileName().toUtf8().constData());
    xdg_activation_token_v1_commit(request);
    // The answer to the commit.
    wl_display_roundtrip_queue(m_display, m_queue);
    xdg_activation_token_v1_destroy(request);
    return token;
}
