#pragma once
// A label of a row for a text from the feed, which may be long and unbroken: it never asks for
// more width than the row has. On one line it elides what does not fit; with word wrap it breaks
// lines at word boundaries or, within a word too long for a line, anywhere, and elides the last
// of its maximumLines. A text of up to wholeCharacters characters (a level word) is never cut.
// The label's text stays whole for the accessibility tools.

#include <QLabel>

class RowLabel : public QLabel {
    Q_OBJECT
public:
    static constexpr int wholeCharacters = 12;
    static constexpr int maximumLines = 4;

    explicit RowLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return wordWrap(); }
    int heightForWidth(int width) const override;

    // What is painted at `width`, line by line.
    QStringList linesAt(int width) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int naturalWidth() const;
};
