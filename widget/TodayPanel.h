#pragma once
// The "Today" side panel: a narrow window with an Edit/Done button that hosts one root
// controller (a PanelContent), and in its place any controller the root presents.
//
// The root's viewWillAppear runs every time its content becomes visible: when the panel is
// shown, restored from minimised, activated again (a second start), and when the last presented
// controller is dismissed and uncovers it.

#include <QWidget>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QStackedWidget;
class ViewController;
class PanelContent;

class TodayPanel : public QWidget {
    Q_OBJECT
public:
    // `root` should also be a PanelContent; without that the panel offers no Edit button.
    explicit TodayPanel(std::shared_ptr<ViewController> root, QWidget* parent = nullptr);
    ~TodayPanel() override;

    // The controller shown in the root's place, or nullptr.
    ViewController* presentedViewController() const;
    bool isEditing() const { return m_editing; }

    void present(const std::shared_ptr<ViewController>& controller);
    // Removes a presented controller; releases it once the current event is done, so that it
    // may dismiss itself from one of its own slots.
    void dismiss(ViewController* controller);

    // Brings the panel to the front (restoring it from minimised); its root appears again.
    void activate();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void toggleEditing();
    void rootWillAppear();
    void placeOnScreen();

    std::shared_ptr<ViewController> m_root;
    PanelContent* m_content = nullptr;
    std::vector<std::shared_ptr<ViewController>> m_presented;
    QLabel* m_title = nullptr;
    QPushButton* m_editButton = nullptr;
    QStackedWidget* m_stack = nullptr;
    bool m_editing = false;
    bool m_onScreen = false;
    bool m_placed = false;
};
