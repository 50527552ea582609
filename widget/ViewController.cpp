#include "widget/ViewController.h"

#include "widget/TodayPanel.h"

ViewController::ViewController(QObject* parent)
    : QObject(parent)
{}

QWidget* ViewController::view()
{
    if (m_view.isNull()) {
        m_view = loadView();
        setParent(m_view);
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setRepresentedObject(const ItemPtr& object)
{
    m_representedObject = object;
}

void ViewController::presentViewControllerInWidget(ViewController* controller)
{
    if (m_panel && controller) {
        m_panel->present(controller);
    }
}

void ViewController::dismissViewController(ViewController* controller)
{
    if (controller && controller->m_panel) {
        controller->m_panel->dismiss(controller);
    }
}

// Keeps a released controller until the callback that holds it is gone.
struct ViewController::Hold {
    explicit Hold(ViewController* held)
        : controller(held)
    {
        ++held->m_holds;
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold()
    {
        if (controller) {
            controller->letGo();
        }
    }

    const QPointer<ViewController> controller;
};

std::shared_ptr<ViewController::Hold> ViewController::holdUntilDone()
{
    return std::make_shared<Hold>(this);
}

void ViewController::letGo()
{
    if (--m_holds == 0 && m_released) {
        goAway();
    }
}

void ViewController::release()
{
    m_released = true;
    if (m_holds == 0) {
        goAway();
    }
}

void ViewController::goAway()
{
    // Later: the controller may be letting go of itself from one of its own slots.
    if (m_view) {
        m_view->deleteLater();
    } else {
        deleteLater();
    }
}
