#pragma once
// Supplies the row controllers of a WidgetListViewController.

#include <memory>

class ViewController;
class WidgetListViewController;

class WidgetListViewDelegate {
public:
    virtual ~WidgetListViewDelegate() = default;

    // A new controller for row `row` of the list's contents; nullptr leaves the row out.
    virtual std::shared_ptr<ViewController>
    widgetListViewControllerForRow(WidgetListViewController* list, int row) = 0;
};
