// The colour view under the rows: its text keeps its contrast on every row colour.

#include "widget/ColorView.h"

#include <QLabel>
#include <QTest>

namespace {
const QColor critical = QColor::fromRgbF(0.8f, 0.2f, 0.0f, 1.0f);
} // namespace

class TestColorView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textKeepsContrastOnEveryRowColour_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::newRow("Critical") << critical;
        QTest::newRow("Major") << QColor::fromRgbF(0.93f, 0.61f, 0.2f, 1.0f);
        QTest::newRow("Minor") << QColor::fromRgbF(0.95f, 0.76f, 0.0f, 1.0f);
        QTest::newRow("Resolved") << QColor::fromRgbF(0.34f, 0.54f, 0.69f, 1.0f);
        QTest::newRow("Okay") << QColor::fromRgbF(0.54f, 0.69f, 0.34f, 1.0f);
        QTest::newRow("mid grey") << QColor(119, 119, 119);
        QTest::newRow("pure blue") << QColor(Qt::blue);
        QTest::newRow("half transparent red") << QColor(204, 51, 0, 128);
        QTest::newRow("transparent") << QColor(Qt::transparent);
    }

    void textKeepsContrastOnEveryRowColour()
    {
        QFETCH(QColor, background);
        QWidget window;
        QPalette palette = window.palette();
        palette.setColor(QPalette::WindowText, QColor(10, 20, 30));
        window.setPalette(palette);
        auto* view = new ColorView(&window);
        auto* label = new QLabel(QStringLiteral("Major"), view);
        view->setBackgroundColor(critical);
        view->setBackgroundColor(background);

        const QColor text = label->palette().color(label->foregroundRole());
        // A transparent row gives the window's own text colour back.
        if (background.alpha() == 0) {
            QCOMPARE(text, QColor(10, 20, 30));
        }
        // What the label is drawn on: the view's colour over the window.
        view->resize(40, 40);
        window.resize(40, 40);
        const QColor shown = window.grab().toImage().pixelColor(39, 39);
        if (background.alpha() == 255) {
            QCOMPARE(shown.name(), background.name());
        }
        QVERIFY2(ColorView::contrastRatio(text, shown) >= 4.5,
                 qPrintable(QStringLiteral("%1 on %2").arg(text.name(), shown.name())));
    }
};

QTEST_MAIN(TestColorView)
#include "tst_ColorView.moc"
