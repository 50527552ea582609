#pragma once
// A controller that owns one view, loaded on first use, and shows the entry it represents.
//
// Ownership follows Qt's parents: a controller belongs to the QObject parent it was made with
// until its view is loaded; from then on it is a child of its view and goes with it (a row with
// its list, a presented form once the panel lets it go).

#include "core/Item.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <utility>

class TodayPanel;

class ViewController : public QObject {
    Q_OBJECT
public:
    explicit ViewController(QObject* parent = nullptr);

    // The name of the interface resource, i.e. of the class.
    virtual QString nibName() const = 0;

    // Loads the view on first use (loadView, then viewDidLoad).
    QWidget* view();
    bool isViewLoaded() const { return !m_view.isNull(); }

    const ItemPtr& representedObject() const { return m_representedObject; }
    // Subclasses that react to the assignment override this and call the base first.
    virtual void setRepresentedObject(const ItemPtr& object);

    virtual void viewDidLoad() {}
    virtual void viewWillAppear() {}
    // The panel that shows the view was hidden or minimised.
    virtual void viewDidDisappear() {}

    // Shows `controller` in place of this controller's content inside the panel that hosts it.
    // Without a hosting panel nothing is shown.
    void presentViewControllerInWidget(ViewController* controller);
    // Takes a presented controller out of its panel again; a no-op when it is not presented.
    void dismissViewController(ViewController* controller);

    TodayPanel* panel() const { return m_panel; }

protected:
    // Builds the view from the interface resource.
    virtual QWidget* loadView() = 0;

    // `work` as the callback of an answer or of delayed work, which may come after the controller
    // is gone: it runs only while the controller exists, and a dismissed controller stays until
    // every such callback has run or been dropped.
    template <typename Work> auto whileAlive(Work work)
    {
        return [self = QPointer<ViewController>(this), keep = holdUntilDone(),
                work = std::move(work)](auto&&... arguments) mutable {
            if (self) {
                work(std::forward<decltype(arguments)>(arguments)...);
            }
        };
    }

private:
    friend class TodayPanel;
    struct Hold;

    std::shared_ptr<Hold> holdUntilDone();
    // The panel let go of the controller: it goes with its view once nothing holds it.
    void release();
    void letGo();
    void goAway();

    QPointer<QWidget> m_view;
    TodayPanel* m_panel = nullptr; // set while the panel shows this controller
    ItemPtr m_representedObject;
    int m_holds = 0;
    bool m_released = false;
};
