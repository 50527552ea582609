#include "widget/WidgetListViewController.h"

#include "widget/WidgetListViewDelegate.h"

#include <QFrame>
#include <QVBoxLayout>

WidgetListViewController::WidgetListViewController(QWidget* view)
    : m_adoptedView(view)
{}

void WidgetListViewController::setContents(const QVariantList& contents)
{
    m_contents = contents;
    rebuildRows();
    Q_EMIT contentsChanged();
}

void WidgetListViewController::setHasDividerLines(bool on)
{
    if (m_hasDividerLines != on) {
        m_hasDividerLines = on;
        rebuildRows();
    }
}

ViewController* WidgetListViewController::rowViewController(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(row)].get() : nullptr;
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
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    // The old rows' views were deleted with the layout items above.
    m_rows.clear();

    for (int row = 0; row < m_contents.size(); ++row) {
        auto controller =
            m_delegate ? m_delegate->widgetListViewControllerForRow(this, row) : nullptr;
        if (!controller) {
            continue;
        }
        controller->setRepresentedObject(m_contents.at(row));
        if (m_hasDividerLines && !m_rows.empty()) {
            auto* divider = new QFrame;
            divider->setFrameShape(QFrame::HLine);
            divider->setFrameShadow(QFrame::Sunken);
            divider->setObjectName(QStringLiteral("divider"));
            layout->addWidget(divider);
        }
        layout->addWidget(controller->view());
        m_rows.push_back(std::move(controller));
    }
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        box->addStretch(1);
    }
}
