#include "desktop/Workspace.h"

#include "desktop/DesktopWorkspace.h"

namespace {
Workspace* replacement = nullptr;
}

Workspace& Workspace::shared()
{
    if (replacement)
        return *replacement;
    // Created on first use and never destroyed, like the other process-wide services.
    static auto* desktop = new DesktopWorkspace();
    return *desktop;
}

void Workspace::setShared(Workspace* workspace)
{
    replacement = workspace;
}
