#pragma once
// xdg-activation-v1 on the compositor that Qt's Wayland platform talks to: bringing a window of
// ours to the front with the token of a user's click, or marking it as demanding attention with a
// token of its own. Qt 6.4 uses the protocol only for an application that has the focus already.

#include <QString>

class QWindow;
struct wl_display;
struct wl_event_queue;
struct wl_surface;
struct xdg_activation_v1;

class WaylandActivation {
public:
    // The compositor's xdg-activation, bound on first use and kept for the life of the process;
    // nullptr when Qt does not run on Wayland or the compositor has none (weston 10).
    static WaylandActivation* instance();

    // With a token the compositor brings `window` to the front when it grants it; without one the
    // window asks for attention.
    void activate(QWindow* window, const QString& activationToken);

private:
    WaylandActivation(wl_display* display, wl_event_queue* queue, xdg_activation_v1* activation);
    static WaylandActivation* bind();
    QString tokenWithoutClick(wl_surface* surface);

    wl_display* m_display;
    // Ours: Qt dispatches its own queue on its own schedule.
    wl_event_queue* m_queue;
    xdg_activation_v1* m_activation;
};
