#include "desktop/UrlOpener.h"

#include "desktop/DesktopUrlOpener.h"

UrlOpener& UrlOpener::shared()
{
    return DesktopUrlOpener::shared();
}
