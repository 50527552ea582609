#include "widget/RowLabel.h"

#include <QPainter>
#include <QTextLayout>
#include <cmath>

RowLabel::RowLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

int RowLabel::naturalWidth() const
{
    // Rounded up: a text given its width rounded down would be elided.
    return static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + 1 +
           contentsMargins().left() + contentsMargins().right();
}

QSize RowLabel::sizeHint() const
{
    const int width = naturalWidth();
    return {width, heightForWidth(width)};
}

QSize RowLabel::minimumSizeHint() const
{
    const int whole = fontMetrics().averageCharWidth() * wholeCharacters +
                      contentsMargins().left() + contentsMargins().right();
    return {std::min(naturalWidth(), whole), heightForWidth(naturalWidth())};
}

int RowLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    const int lines =
        wordWrap() ? static_cast<int>(linesAt(width - margins.left() - margins.right()).size()) : 1;
    return std::max(lines, 1) * fontMetrics().lineSpacing() + margins.top() + margins.bottom();
}

QStringList RowLabel::linesAt(int width) const
{
    const QString shown = text();
    const QFontMetrics metrics = fontMetrics();
    if (!wordWrap() || shown.isEmpty()) {
        return {metrics.elidedText(shown, Qt::ElideRight, width)};
    }
    QTextLayout layout(shown, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    qsizetype start = 0;
    for (QTextLine line = layout.createLine(); line.isValid() && lines.size() < maximumLines;
         line = layout.createLine()) {
        line.setLineWidth(width);
        start = line.textStart();
        lines.append(shown.mid(start, line.textLength()));
    }
    layout.endLayout();
    // The last line shown takes the rest of the text, elided.
    if (!lines.isEmpty() && start + lines.last().size() < shown.size()) {
        lines.last() = metrics.elidedText(shown.mid(start), Qt::ElideRight, width);
    }
    return lines;
}

void RowLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    QRect line(area.left(), area.top(), area.width(), fontMetrics().lineSpacing());
    for (const QString& text : linesAt(area.width())) {
        painter.drawText(line,
                         static_cast<int>(alignment() & Qt::AlignHorizontal_Mask) |
                             Qt::AlignVCenter | Qt::TextSingleLine,
                         text);
        line.translate(0, line.height());
    }
}
