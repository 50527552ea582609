#include "desktop/UrlOpener.h"

#include "desktop/DesktopUrlOpener.h"

UrlOpener& UrlOpener::shared()
{
    // Created on first use and never destroyed, like the other process-wide services.
    static auto* desktop = new DesktopUrlOpener();
    return *desktop;
}
