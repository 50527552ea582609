#include "desktop/TrayGlyph.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

TrayGlyph::TrayGlyph(bool inverted, bool highlighted, bool muted)
    : m_inverted(inverted)
    , m_highlighted(highlighted)
    , m_muted(muted)
{}

void TrayGlyph::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State)
{
    const bool inverted =
        mode == QIcon::Active || mode == QIcon::Selected ? m_highlighted : m_inverted;
    // Drawn on a 22-unit square, centred in `rect`.
    constexpr qreal units = 22;
    const QRectF area(rect);
    const qreal side = std::min(area.width(), area.height());
    QPainterPath pulse({4.5, 11.5});
    if (m_muted) {
        pulse.lineTo(17.5, 11.5);
    } else {
        for (const QPointF point : {QPointF(7.7, 11.5), QPointF(9.5, 7.3), QPointF(12.5, 15.3),
                                    QPointF(14.3, 11.5), QPointF(17.5, 11.5)})
            pulse.lineTo(point);
    }
    // Muted greys stay apart enough to read on light and dark panels alike.
    const QColor dark = m_muted ? QColor(0x5a, 0x5a, 0x5a) : QColor(0x1e, 0x1e, 0x1e);
    const QColor light = m_muted ? QColor(0xb4, 0xb4, 0xb4) : QColor(0xf0, 0xf0, 0xf0);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(area.center() - QPointF(side / 2, side / 2));
    painter->scale(side / units, side / units);
    painter->setBrush(Qt::NoBrush);
    // The rim first, then the glyph over it at half its width.
    for (const auto& [width, colour] :
         {std::pair{3.6, inverted ? light : dark}, std::pair{1.8, inverted ? dark : light}}) {
        painter->setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawEllipse(QPointF(11, 11), 8.5, 8.5);
        painter->drawPath(pulse);
    }
    painter->restore();
}

QPixmap TrayGlyph::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, pixmap.rect(), mode, state);
    return pixmap;
}

QIconEngine* TrayGlyph::clone() const
{
    return new TrayGlyph(m_inverted, m_highlighted, m_muted);
}
