#include "widget/WidgetListViewController.h"

#include "widget/WidgetListViewDelegate.h"

#include <QFrame>
#include <QVBoxLayout>

WidgetListViewController::WidgetListViewController(QWidget* view, QObject* parent)
    : ViewController(parent)
    , m_adoptedView(view)
    , m_contents(new AlarmListModel(this))
{
    connect(m_contents, &QAbstractItemModel::modelReset, this,
            &WidgetListViewController::rebuildRows);
}

void WidgetListViewController::setHasDividerLines(bool on)
{
    if (m_hasDividerLines != on) {
        m_hasDividerLines = on;
        rebuildRows();
    }
}

QWidget* WidgetListViewController::loadView()
{
    QWidget* container = m_adoptedView;
    if (!container) {
        container = new QWidget;
        container->setObjectName(QStringLiteral("WidgetListViewController"));
    }
    if (!container->layout()) {
        auto* layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(2);
    }
    return container;
}

void WidgetListViewController::rebuildRows()
{
    QLayout* layout = view()->layout();
    // A row's controller goes with its view.
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_rows.clear();

    for (int row = 0; row < m_contents->rowCount(); ++row) {
        ViewController* controller =
            m_delegate ? m_delegate->widgetListViewControllerForRow(this, row) : nullptr;
        if (!controller) {
            continue;
        }
        controller->setRepresentedObject(m_contents->entry(row));
        if (m_hasDividerLines && !m_rows.empty()) {
            auto* divider = new QFrame;
            divider->setFrameShape(QFrame::HLine);
            divider->setFrameShadow(QFrame::Sunken);
            divider->setObjectName(QStringLiteral("divider"));
            layout->addWidget(divider);
        }
        layout->addWidget(controller->view());
        m_rows.append(controller);
    }
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        box->addStretch(1);
    }
}
