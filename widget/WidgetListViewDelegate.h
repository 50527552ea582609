#pragma once
// Supplies the row controllers of a WidgetListViewController.

class ViewController;
class WidgetListViewController;

class WidgetListViewDelegate {
public:
    virtual ~WidgetListViewDelegate() = default;

    // A new controller for row `row` of the list's contents, which the list takes over; nullptr
    // leaves the row out.
    virtual ViewController* widgetListViewControllerForRow(WidgetListViewController* list,
                                                           int row) = 0;
};
