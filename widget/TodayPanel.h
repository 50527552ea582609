#pragma once
// The "Today" side panel: a narrow window with an Edit/Done button that hosts one root
// controller, and in its place any controller the root presents. The controllers' views are
// part of the panel, and the controllers go with them. Editing ends with Done, or when the last
// presented controller goes (a form that Edit, or a row for it, showed was cancelled or done).
//
// The root's viewWillAppear runs every time its content becomes visible: when the panel is
// shown, restored from minimised, activated again (a second start, or the focus coming back from
// another window), and when the last presented controller is dismissed and uncovers it. Its
// viewDidDisappear runs when the panel is hidden or minimised.

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;
class QStackedWidget;
class ViewController;
class PanelContent;

class TodayPanel : public QWidget {
    Q_OBJECT
public:
    // Takes `root` over for good.
    explicit TodayPanel(PanelContent* root, QWidget* parent = nullptr);
    ~TodayPanel() override;

    // The controller shown in the root's place, or nullptr.
    ViewController* presentedViewController() const;
    bool isEditing() const { return m_editing; }

    // Takes `controller` over and shows it; one already shown, or the root, is left alone.
    void present(ViewController* controller);
    // The same for a form that Edit would show, asked for by the root itself (from a row): the
    // panel edits, its button reads Done, until the last presented controller goes. The root is
    // not told that editing began, as it asked for it; it is told when it ends.
    void presentForEditing(ViewController* controller);
    // Removes a presented controller; it goes once the current event and the callbacks it
    // waits for are done (ViewController::whileAlive).
    void dismiss(ViewController* controller);

    // Brings the panel to the front (restoring it from minimised), with the activation token of
    // the click that asked for it where there is one; its root appears again.
    void activate(const QString& activationToken = {});
    // The same without the root appearing again: for a panel just shown.
    void bringToFront(const QString& activationToken);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setEditing(bool editing);
    void showEditing();
    void rootWillAppear();
    void leaveScreen();
    void placeOnScreen();

    PanelContent* const m_root;
    QList<ViewController*> m_presented;
    QLabel* m_title = nullptr;
    QPushButton* m_editButton = nullptr;
    QStackedWidget* m_stack = nullptr;
    bool m_editing = false;
    bool m_onScreen = false;
    // Another window took the focus since the root last appeared.
    bool m_focusElsewhere = false;
    bool m_placed = false;
};
