#pragma once
// The list of a Today panel widget: shows its contents as a column of rows, one row controller
// per element, made by the delegate. The list assigns each element to its row controller's
// representedObject. Setting the contents rebuilds every row.

#include "widget/ViewController.h"

#include <QVariantList>
#include <vector>

class WidgetListViewDelegate;

class WidgetListViewController : public ViewController {
    Q_OBJECT
public:
    // `view` is the container the rows go into, typically taken from the owner's interface
    // resource; without one the list makes its own.
    explicit WidgetListViewController(QWidget* view = nullptr);

    QString nibName() const override { return QStringLiteral("WidgetListViewController"); }

    const QVariantList& contents() const { return m_contents; }
    void setContents(const QVariantList& contents);

    void setDelegate(WidgetListViewDelegate* delegate) { m_delegate = delegate; }

    void setHasDividerLines(bool on);

    // The row controllers of the current contents, in order (rows the delegate left out are
    // missing).
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    ViewController* rowViewController(int row) const;

Q_SIGNALS:
    void contentsChanged();

protected:
    QWidget* loadView() override;

private:
    void rebuildRows();

    QPointer<QWidget> m_adoptedView;
    QVariantList m_contents;
    WidgetListViewDelegate* m_delegate = nullptr;
    bool m_hasDividerLines = true;
    std::vector<std::shared_ptr<ViewController>> m_rows;
};
