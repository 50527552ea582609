#pragma once
// The keyboard among the rows of one page of a list, as in any list view: the page is one stop
// of Tab (the current row, the one last focused), the arrow keys move the focus to the row above
// or below, Home and End to the first and the last. A focused row is scrolled into view.

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

class RowFocus : public QObject {
    Q_OBJECT
public:
    // Goes with `page`, the rows' parent.
    explicit RowFocus(QWidget* page);

    // Appends `row`, which then takes the focus by click or by these keys.
    void add(QWidget* row);
    qsizetype count() const { return m_rows.size(); }
    // The row last focused (the first until one is).
    qsizetype current() const { return m_current; }
    // Focuses row `index` (clamped to the rows); nothing without rows.
    void focus(qsizetype index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeCurrent(qsizetype index);

    QList<QPointer<QWidget>> m_rows;
    qsizetype m_current = 0;
};
