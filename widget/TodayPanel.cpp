#include "widget/TodayPanel.h"

#include "Identity.h"
#include "desktop/WindowActivation.h"
#include "widget/AccessibleRole.h"
#include "widget/PanelContent.h"
#include "widget/ViewController.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QMargins proposedMargins(12, 8, 12, 8);
constexpr int panelWidth = 360;
constexpr int panelHeight = 540;
constexpr int screenGap = 16;

} // namespace

TodayPanel::TodayPanel(PanelContent* root, QWidget* parent)
    : QWidget(parent)
    , m_root(root)
{
    Q_ASSERT(m_root);
    setObjectName(QStringLiteral("TodayPanel"));
    // The title names the program, as its desktop entry does; a window, not a filler, to screen
    // readers.
    setWindowTitle(Identity::todayDisplayName);
    AccessibleRole::set(this, QAccessible::Window);
    resize(panelWidth, panelHeight);

    m_title = new QLabel(tr("Today"));
    m_title->setObjectName(QStringLiteral("titleLabel"));
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    m_title->setFont(titleFont);

    m_editButton = new QPushButton;
    m_editButton->setObjectName(QStringLiteral("editButton"));
    m_editButton->setVisible(m_root->widgetAllowsEditing());
    showEditing();
    connect(m_editButton, &QPushButton::clicked, this, [this] { setEditing(!m_editing); });

    auto* header = new QHBoxLayout;
    header->setContentsMargins(12, 10, 12, 6);
    header->addWidget(m_title);
    header->addStretch(1);
    header->addWidget(m_editButton);

    m_stack = new QStackedWidget;
    m_stack->setObjectName(QStringLiteral("contentStack"));
    m_stack->setContentsMargins(m_root->widgetMarginInsetsForProposedMarginInsets(proposedMargins));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(m_stack, 1);

    m_root->m_panel = this;
    m_stack->addWidget(m_root->view());
}

TodayPanel::~TodayPanel() = default;

ViewController* TodayPanel::presentedViewController() const
{
    return m_presented.isEmpty() ? nullptr : m_presented.last();
}

void TodayPanel::present(ViewController* controller)
{
    if (!controller || controller == m_root || m_presented.contains(controller)) {
        return;
    }
    controller->m_panel = this;
    m_presented.append(controller);
    QWidget* view = controller->view();
    m_stack->addWidget(view);
    m_stack->setCurrentWidget(view);
    controller->viewWillAppear();
}

void TodayPanel::presentForEditing(ViewController* controller)
{
    present(controller);
    if (m_presented.contains(controller) && !m_editing) {
        m_editing = true;
        showEditing();
    }
}

void TodayPanel::dismiss(ViewController* controller)
{
    if (!m_presented.removeOne(controller)) {
        return;
    }
    controller->m_panel = nullptr;
    // The focus goes to what the controller uncovers, not on to the next button, as it would
    // when the view that has it is hidden.
    QWidget* focus = focusWidget();
    const bool hadFocus =
        focus && (focus == controller->view() || controller->view()->isAncestorOf(focus));
    if (hadFocus) {
        focus->clearFocus();
    }
    // Hidden and out of the stack, but still the panel's until it goes.
    m_stack->removeWidget(controller->view());
    controller->view()->hide();
    controller->release();

    ViewController* top = presentedViewController();
    QWidget* uncovered = top ? top->view() : m_root->view();
    m_stack->setCurrentWidget(uncovered);
    if (hadFocus) {
        uncovered->setFocus(Qt::OtherFocusReason);
    }
    if (!top) {
        // What editing showed is gone: the Edit button is Edit again.
        setEditing(false);
        if (m_onScreen) {
            rootWillAppear();
        }
    }
}

void TodayPanel::activate(const QString& activationToken)
{
    const bool wasOnScreen = m_onScreen;
    bringToFront(activationToken);
    // Showing or restoring the panel made the root appear already.
    if (wasOnScreen) {
        rootWillAppear();
    }
}

void TodayPanel::bringToFront(const QString& activationToken)
{
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    show();
    WindowActivation::bringToFront(this, activationToken);
}

void TodayPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        placeOnScreen();
    }
    if (!m_onScreen && !isMinimized()) {
        m_onScreen = true;
        rootWillAppear();
    }
}

void TodayPanel::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    leaveScreen();
}

void TodayPanel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow()) {
            m_focusElsewhere = m_onScreen;
        } else if (m_focusElsewhere) {
            rootWillAppear();
        }
        return;
    }
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    if (isMinimized()) {
        leaveScreen();
    } else if (isVisible() && !m_onScreen) {
        m_onScreen = true;
        rootWillAppear();
    }
}

void TodayPanel::leaveScreen()
{
    if (m_onScreen) {
        m_onScreen = false;
        m_root->viewDidDisappear();
    }
}

void TodayPanel::setEditing(bool editing)
{
    if (editing == m_editing) {
        return;
    }
    m_editing = editing;
    showEditing();
    if (m_editing) {
        m_root->widgetDidBeginEditing();
    } else {
        m_root->widgetDidEndEditing();
    }
}

void TodayPanel::showEditing()
{
    m_editButton->setText(m_editing ? tr("Done") : tr("Edit"));
    m_editButton->setAccessibleName(m_editButton->text());
    m_editButton->setAccessibleDescription(m_editing ? tr("Finish editing the Today panel")
                                                     : tr("Edit the Today panel"));
}

void TodayPanel::rootWillAppear()
{
    // The activation that follows a show, a restore or a second start is part of it.
    m_focusElsewhere = false;
    m_root->viewWillAppear();
}

void TodayPanel::placeOnScreen()
{
    // A side panel: along the right edge of the screen, below its top.
    if (const QScreen* where = screen()) {
        const QRect area = where->availableGeometry();
        const int height = std::min(panelHeight, area.height() - 2 * screenGap);
        resize(panelWidth, std::max(height, minimumSizeHint().height()));
        move(area.right() - width() - screenGap, area.top() + screenGap);
    }
}
