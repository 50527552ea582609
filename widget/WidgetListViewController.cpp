#include "widget/WidgetListViewController.h"

#include "widget/AccessibleRole.h"
#include "widget/RowFocus.h"
#include "widget/WidgetListViewDelegate.h"
#include "widget/WidgetLog.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace {

QVBoxLayout* columnLayout(QWidget* widget)
{
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    return layout;
}

} // namespace

WidgetListViewController::WidgetListViewController(QWidget* view, QObject* parent)
    : ViewController(parent)
    , m_adoptedView(view)
    , m_contents(new AlarmListModel(this))
{
    connect(m_contents, &QAbstractItemModel::modelReset, this,
            &WidgetListViewController::startRows);
}

void WidgetListViewController::setHasDividerLines(bool on)
{
    if (m_hasDividerLines != on) {
        m_hasDividerLines = on;
        startRows();
    }
}

QLabel* WidgetListViewController::moreRow() const
{
    return m_moreRow;
}

QWidget* WidgetListViewController::loadView()
{
    QWidget* container = m_adoptedView;
    if (!container) {
        container = new QWidget;
        container->setObjectName(QStringLiteral("WidgetListViewController"));
    }
    if (!container->layout()) {
        columnLayout(container);
    }
    return container;
}

void WidgetListViewController::startRows()
{
    // A page still being made is for contents that are gone.
    ++m_build;
    delete m_nextPage;
    // Hidden until it is complete: a row added to a shown page lays out every row before it.
    m_nextPage = new QWidget(view());
    m_nextPage->setObjectName(QStringLiteral("rows"));
    AccessibleRole::set(m_nextPage, QAccessible::List);
    m_nextPage->setAccessibleName(m_accessibleName);
    m_nextFocus = new RowFocus(m_nextPage);
    columnLayout(m_nextPage);
    m_nextRows.clear();
    m_nextEntry = 0;
    addRows(m_build);
}

void WidgetListViewController::addRows(quint64 build)
{
    if (build != m_build || !m_nextPage) {
        return;
    }
    QLayout* layout = m_nextPage->layout();
    const int entries = std::min(m_contents->rowCount(), maximumShownRows);
    for (int added = 0; m_nextEntry < entries && added < rowsPerTurn; ++m_nextEntry, ++added) {
        ViewController* controller =
            m_delegate ? m_delegate->widgetListViewControllerForRow(this, m_nextEntry) : nullptr;
        if (!controller) {
            continue;
        }
        controller->setRepresentedObject(m_contents->entry(m_nextEntry));
        if (m_hasDividerLines && !m_nextRows.empty()) {
            auto* divider = new QFrame;
            divider->setFrameShape(QFrame::HLine);
            divider->setFrameShadow(QFrame::Sunken);
            divider->setObjectName(QStringLiteral("divider"));
            layout->addWidget(divider);
        }
        layout->addWidget(controller->view());
        m_nextFocus->add(controller->view());
        m_nextRows.append(controller);
    }
    if (m_nextEntry < entries) {
        QTimer::singleShot(0, this, [this, build] { addRows(build); });
        return;
    }
    showRows();
}

void WidgetListViewController::showRows()
{
    auto* layout = static_cast<QBoxLayout*>(m_nextPage->layout());
    const int left = m_contents->rowCount() - maximumShownRows;
    m_moreRow = nullptr;
    if (left > 0) {
        m_moreRow = new QLabel(tr("and %Ln more", "rows of the list left out", left));
        m_moreRow->setObjectName(QStringLiteral("moreRow"));
        m_moreRow->setAlignment(Qt::AlignCenter);
        m_moreRow->setContentsMargins(14, 8, 14, 8);
        AccessibleRole::set(m_moreRow, QAccessible::ListItem);
        m_moreRow->setStyleSheet(
            QStringLiteral("QLabel:focus { border: 2px solid palette(window-text); }"));
        m_moreRow->setAccessibleName(m_moreRow->text());
        layout->addWidget(m_moreRow);
        m_nextFocus->add(m_moreRow);
    }
    layout->addStretch(1);

    const bool focusOnRows = focusIsIdle();
    const qsizetype focusedRow = m_focus ? m_focus->current() : 0;
    // The earlier rows' controllers go with their views, once the focus has left them.
    const QPointer<QWidget> earlier = m_page;
    // Shown from now on: no longer the page that the next contents replace while it is made.
    m_page = std::exchange(m_nextPage, nullptr);
    m_focus = std::exchange(m_nextFocus, nullptr);
    m_rows = std::move(m_nextRows);
    view()->layout()->addWidget(m_page);
    m_page->show();
    if (focusOnRows) {
        m_focus->focus(focusedRow);
    }
    delete earlier;
    qCDebug(lcWidget) << "list rows in place:" << m_rows.size() << "of" << m_contents->rowCount()
                      << "entries";
    Q_EMIT rowsShown();
}

bool WidgetListViewController::focusIsIdle()
{
    const QWidget* focus = view()->window()->focusWidget();
    return !focus || !focus->isVisible() || focus->isAncestorOf(view()) ||
           (m_page && m_page->isAncestorOf(focus));
}

void WidgetListViewController::focusRowsIfIdle()
{
    if (m_focus && focusIsIdle()) {
        m_focus->focus(m_focus->current());
    }
}
