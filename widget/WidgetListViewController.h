#pragma once
// The list of a Today panel widget: shows the entries of its contents (a model) as a column of
// rows, one row controller per entry, made by the delegate; the list assigns each entry to its
// row controller's representedObject. New contents rebuild every row.

#include "widget/AlarmListModel.h"
#include "widget/ViewController.h"

#include <QList>

class WidgetListViewDelegate;

class WidgetListViewController : public ViewController {
    Q_OBJECT
public:
    // `view` is the container the rows go into, typically taken from the owner's interface
    // resource; without one the list makes its own.
    explicit WidgetListViewController(QWidget* view = nullptr, QObject* parent = nullptr);

    QString nibName() const override { return QStringLiteral("WidgetListViewController"); }

    AlarmListModel* contents() const { return m_contents; }

    void setDelegate(WidgetListViewDelegate* delegate) { m_delegate = delegate; }

    void setHasDividerLines(bool on);

    // The row controllers of the current contents, in order (rows the delegate left out are
    // missing).
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    ViewController* rowViewController(int row) const { return m_rows.value(row); }

protected:
    QWidget* loadView() override;

private:
    void rebuildRows();

    QPointer<QWidget> m_adoptedView;
    AlarmListModel* const m_contents;
    WidgetListViewDelegate* m_delegate = nullptr;
    bool m_hasDividerLines = true;
    QList<ViewController*> m_rows;
};
