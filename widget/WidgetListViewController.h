#pragma once
// The list of a Today panel widget: shows the entries of its contents (a model) as a column of
// rows, one row controller per entry, made by the delegate; the list assigns each entry to its
// row controller's representedObject. New contents get new rows.
//
// The panel is a glance and the web site the archive: of a longer list only the first
// maximumShownRows entries get rows, and one more row says how many are left out. The rows are
// made a few at a time, one portion per turn of the event loop, on a page that replaces the
// shown one once it is complete; until then the earlier rows stay.
//
// To screen readers the page is a list and its rows list items. The rows take the focus as a list
// view's do (RowFocus): the list is one stop of Tab, the arrow keys, Home and End move within it.
// The list takes the focus when nothing in particular has it, and a new page keeps it on the row
// of the same place.

#include "widget/AlarmListModel.h"
#include "widget/ViewController.h"

#include <QList>

class QLabel;
class RowFocus;
class WidgetListViewDelegate;

class WidgetListViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr int maximumShownRows = 500;
    static constexpr int rowsPerTurn = 50;

    // `view` is the container the rows go into, typically taken from the owner's interface
    // resource; without one the list makes its own.
    explicit WidgetListViewController(QWidget* view = nullptr, QObject* parent = nullptr);

    QString nibName() const override { return QStringLiteral("WidgetListViewController"); }

    AlarmListModel* contents() const { return m_contents; }

    void setDelegate(WidgetListViewDelegate* delegate) { m_delegate = delegate; }

    void setHasDividerLines(bool on);
    // What screen readers call the list.
    void setAccessibleName(const QString& name) { m_accessibleName = name; }

    // Focuses the current row when the focus is nowhere in particular: on no widget, a hidden
    // one, the list or what holds it.
    void focusRowsIfIdle();

    // The row controllers of the entries shown, in order (rows the delegate left out are
    // missing).
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    ViewController* rowViewController(int row) const { return m_rows.value(row); }
    // The row that says how many entries have no row, or nullptr.
    QLabel* moreRow() const;

Q_SIGNALS:
    // The rows of the current contents are all in place.
    void rowsShown();

protected:
    QWidget* loadView() override;

private:
    void startRows();
    void addRows(quint64 build);
    void showRows();
    bool focusIsIdle();

    QPointer<QWidget> m_adoptedView;
    AlarmListModel* const m_contents;
    WidgetListViewDelegate* m_delegate = nullptr;
    bool m_hasDividerLines = true;
    QString m_accessibleName;
    // Shown.
    QPointer<QWidget> m_page;
    RowFocus* m_focus = nullptr; // the page's
    QList<ViewController*> m_rows;
    QPointer<QLabel> m_moreRow;
    // Being made: the page of the current contents, its rows so far and the next entry.
    quint64 m_build = 0;
    QPointer<QWidget> m_nextPage;
    RowFocus* m_nextFocus = nullptr; // the next page's
    QList<ViewController*> m_nextRows;
    int m_nextEntry = 0;
};
