#pragma once
// How a notification shows an alarm's level, so that servers sort, colour and keep it as their
// users set them up: the freedesktop urgency (critical for Critical, normal for Major and Minor,
// low for every other level) and a small disc in the colour the panel gives the alarm's row.

#include "desktop/DesktopNotification.h"

#include <QImage>
#include <QString>

namespace AlarmSeverity {

DesktopNotification::Urgency urgency(const QString& level);
// A null image for a level that has no colour.
QImage image(const QString& level);

} // namespace AlarmSeverity
