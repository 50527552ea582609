#pragma once
// The tray's image, a pulse line in a ring, drawn in code at whatever size the tray asks for:
// light on a dark rim so that it reads on light and dark panels, or the reverse for a selected
// item. Drawn here rather than from a vector file so that the tray program loads no SVG renderer.
// Muted, it says that nothing is being watched: a flat line in greys of less contrast.

#include <QIconEngine>

class TrayGlyph : public QIconEngine {
public:
    // `highlighted`: the look while the item is highlighted (icon modes Active and Selected).
    TrayGlyph(bool inverted, bool highlighted, bool muted = false);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    // Transparent around the glyph (QIconEngine's own leaves the background undefined).
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;

private:
    bool m_inverted;
    bool m_highlighted;
    bool m_muted;
};
