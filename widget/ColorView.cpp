#include "widget/ColorView.h"

#include <QPainter>
#include <QPalette>
#include <cmath>

namespace {

double linearChannel(float channel)
{
    const double c = static_cast<double>(channel);
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

ColorView::ColorView(QWidget* parent)
    : QWidget(parent)
    , m_backgroundColor(Qt::transparent)
{}

void ColorView::setBackgroundColor(const QColor& color)
{
    m_backgroundColor = color;
    if (color.alpha() == 0) {
        // Back to the inherited palette.
        setPalette(QPalette());
    } else {
        QColor shown = color;
        if (color.alpha() < 255) {
            // What the eye sees: the colour over the window behind it.
            const QColor behind = parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                                 : palette().color(QPalette::Window);
            const float alpha = color.alphaF();
            shown = QColor::fromRgbF(color.redF() * alpha + behind.redF() * (1 - alpha),
                                     color.greenF() * alpha + behind.greenF() * (1 - alpha),
                                     color.blueF() * alpha + behind.blueF() * (1 - alpha));
        }
        const QColor text = textColorFor(shown);
        QPalette contrasting;
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            contrasting.setColor(role, text);
        }
        setPalette(contrasting);
    }
    update();
}

double ColorView::relativeLuminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * linearChannel(rgb.redF()) + 0.7152 * linearChannel(rgb.greenF()) +
           0.0722 * linearChannel(rgb.blueF());
}

double ColorView::contrastRatio(const QColor& first, const QColor& second)
{
    const double a = relativeLuminance(first) + 0.05;
    const double b = relativeLuminance(second) + 0.05;
    return a > b ? a / b : b / a;
}

QColor ColorView::textColorFor(const QColor& background)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

void ColorView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    if (m_backgroundColor.alpha() != 0) {
        painter.fillRect(rect(), m_backgroundColor);
    }
    // A row that has the keyboard focus shows it: a frame in its text colour, which contrasts.
    if (hasFocus()) {
        constexpr int width = 2;
        painter.setPen(QPen(palette().color(QPalette::WindowText), width));
        painter.drawRect(rect().adjusted(1, 1, -width, -width));
    }
}

void ColorView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void ColorView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
