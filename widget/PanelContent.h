#pragma once
// The root controller of a Today panel: besides its view it tells the panel whether to offer the
// Edit button, answers the edit callbacks and sets the margins around its content.

#include "widget/ViewController.h"

#include <QMargins>

class PanelContent : public ViewController {
    Q_OBJECT
public:
    using ViewController::ViewController;

    virtual bool widgetAllowsEditing() const { return false; }
    virtual void widgetDidBeginEditing() {}
    virtual void widgetDidEndEditing() {}
    virtual QMargins widgetMarginInsetsForProposedMarginInsets(const QMargins& proposed)
    {
        return proposed;
    }
};
