#pragma once
// The widget's delays on the main queue; tests shorten them.

#include <chrono>

struct WidgetDelays {
    // From the Edit button to the login form.
    std::chrono::milliseconds loginPresentation{10};
    // From a successful sign-in to storing the GUID and closing the form.
    std::chrono::milliseconds storeAfterSignIn{1000};
    // Between two fetches of the list while the panel stays on screen.
    std::chrono::milliseconds refreshInterval{60000};
};
