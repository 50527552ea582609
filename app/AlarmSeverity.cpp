#include "app/AlarmSeverity.h"

#include "core/AlarmLevel.h"

#include <QColor>
#include <QPainter>

namespace AlarmSeverity {

namespace {
// Servers scale it to their icon size.
constexpr int imageSize = 48;
} // namespace

DesktopNotification::Urgency urgency(const QString& level)
{
    switch (levelOf(level).value_or(AlarmLevel::Okay)) {
    case AlarmLevel::Critical:
        return DesktopNotification::Urgency::Critical;
    case AlarmLevel::Major:
    case AlarmLevel::Minor:
        return DesktopNotification::Urgency::Normal;
    default:
        return DesktopNotification::Urgency::Low;
    }
}

QImage image(const QString& level)
{
    const std::optional<AlarmLevel> known = levelOf(level);
    if (!known)
        return {};
    const LevelColor rgb = levelColor(*known);
    const QColor color = QColor::fromRgbF(rgb.red, rgb.green, rgb.blue);
    QImage disc(imageSize, imageSize, QImage::Format_ARGB32_Premultiplied);
    disc.fill(Qt::transparent);
    QPainter painter(&disc);
    painter.setRenderHint(QPainter::Antialiasing);
    // A darker rim keeps the light colours visible on a light background.
    painter.setPen(QPen(color.darker(140), 2));
    painter.setBrush(color);
    painter.drawEllipse(QRectF(4, 4, imageSize - 8, imageSize - 8));
    return disc;
}

} // namespace AlarmSeverity
