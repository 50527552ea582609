#pragma once
// A view that paints its whole background in one colour (transparent at first). The text of its
// children is switched to black or white, whichever contrasts more with an opaque background;
// on a transparent background they keep the palette's text colour. With the keyboard focus it
// shows a frame.

#include <QColor>
#include <QWidget>

class ColorView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
public:
    explicit ColorView(QWidget* parent = nullptr);

    QColor backgroundColor() const { return m_backgroundColor; }
    // Repaints on the next update.
    void setBackgroundColor(const QColor& color);

    // WCAG 2 relative luminance and contrast ratio (1 to 21) of opaque colours.
    static double relativeLuminance(const QColor& color);
    static double contrastRatio(const QColor& first, const QColor& second);
    // Black or white, whichever has the higher contrast with `background` (at least 4.58:1).
    static QColor textColorFor(const QColor& background);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QColor m_backgroundColor;
};
