#pragma once
// A controller that owns one view, loaded on first use, and reacts to the assignment of the
// object it represents. Controllers are shared objects (always made with std::make_shared) so that
// a pending completion or delayed work can keep its controller alive until it has run.
//
// Actions are connected from the interface resource: a button or line edit whose dynamic property
// "action" names a slot of the controller has its clicked()/returnPressed() connected to it.

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <memory>

class TodayPanel;

class ViewController : public QObject, public std::enable_shared_from_this<ViewController> {
    Q_OBJECT
public:
    ViewController();
    ~ViewController() override;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The name of the interface resource, i.e. of the class.
    virtual QString nibName() const = 0;

    // Loads the view on first use (loadView, the action connections, then viewDidLoad).
    QWidget* view();
    bool isViewLoaded() const { return !m_view.isNull(); }

    const QVariant& representedObject() const { return m_representedObject; }
    // Subclasses that react to the assignment override this and call the base first.
    virtual void setRepresentedObject(const QVariant& object);

    virtual void viewDidLoad() {}
    virtual void viewWillAppear() {}

    // Shows `controller` in place of this controller's content inside the panel that hosts it.
    // Without a hosting panel nothing is shown.
    void presentViewControllerInWidget(const std::shared_ptr<ViewController>& controller);
    // Takes a presented controller out of its panel again; a no-op when it is not presented.
    void dismissViewController(ViewController* controller);

    TodayPanel* panel() const { return m_panel; }
    void setPanel(TodayPanel* panel) { m_panel = panel; }

protected:
    // Builds the view from the interface resource.
    virtual QWidget* loadView() = 0;

private:
    void connectActions(QWidget* root);

    QPointer<QWidget> m_view;
    QVariant m_representedObject;
    TodayPanel* m_panel = nullptr; // the panel clears it when it lets go of us
};

// shared_from_this for a subclass.
template <typename T> std::shared_ptr<T> sharedFrom(T* controller)
{
    return std::static_pointer_cast<T>(controller->shared_from_this());
}
