#pragma once
// What a panel's root controller tells the Today panel about itself: whether the panel offers
// its Edit button, the edit callbacks, and the margins around its content.

#include <QMargins>

class PanelContent {
public:
    virtual ~PanelContent() = default;

    virtual bool widgetAllowsEditing() const { return false; }
    virtual void widgetDidBeginEditing() {}
    virtual void widgetDidEndEditing() {}
    virtual QMargins widgetMarginInsetsForProposedMarginInsets(const QMargins& proposed)
    {
        return proposed;
    }
};
