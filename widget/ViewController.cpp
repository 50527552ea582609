#include "widget/ViewController.h"

#include "widget/TodayPanel.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMetaMethod>

namespace {

const char* const actionProperty = "action";

// The slot `name` of `receiver` that takes no argument, or an invalid method.
QMetaMethod actionSlot(const QObject* receiver, const QString& name)
{
    const QMetaObject* meta = receiver->metaObject();
    const int index = meta->indexOfSlot(QMetaObject::normalizedSignature(name.toLatin1() + "()"));
    return index < 0 ? QMetaMethod() : meta->method(index);
}

} // namespace

ViewController::ViewController() = default;

ViewController::~ViewController()
{
    // A view that no panel or parent took over belongs to us.
    delete m_view.data();
}

QWidget* ViewController::view()
{
    if (m_view.isNull()) {
        m_view = loadView();
        connectActions(m_view);
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setRepresentedObject(const QVariant& object)
{
    m_representedObject = object;
}

void ViewController::presentViewControllerInWidget(
    const std::shared_ptr<ViewController>& controller)
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

void ViewController::connectActions(QWidget* root)
{
    const auto connectAll = [this](const auto& senders, auto signal) {
        for (auto* sender : senders) {
            const QString name = sender->property(actionProperty).toString();
            if (name.isEmpty()) {
                continue;
            }
            const QMetaMethod slot = actionSlot(this, name);
            Q_ASSERT_X(slot.isValid(), "ViewController", "the resource names an unknown action");
            if (slot.isValid()) {
                connect(sender, QMetaMethod::fromSignal(signal), this, slot);
            }
        }
    };
    connectAll(root->findChildren<QAbstractButton*>(), &QAbstractButton::clicked);
    connectAll(root->findChildren<QLineEdit*>(), &QLineEdit::returnPressed);
}
