// The tray menu follows its model, and the drawn tray images read on light and dark panels.

#include "desktop/TrayIcon.h"
#include "desktop/TrayMenuItem.h"

#include <QMenu>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;

class TestTrayIcon : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void menuFollowsTheModel()
    {
        TrayIcon item(u"T-O-VO"_s);
        item.setImage(u"NoSuchImage"_s); // a missing image changes nothing else
        int opened = 0;
        item.addItem(new TrayMenuItem(u"Open"_s, [&] { ++opened; }));
        // An action that leaves its state alone: a click must not flip the check box.
        auto* sticky = new TrayMenuItem(u"Sticky"_s, [] {});
        sticky->setState(TrayMenuItem::State::On);
        item.addItem(sticky);
        item.addItem(TrayMenuItem::separator());

        const QList<QAction*> actions = item.menu()->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions.at(0)->text(), u"Open"_s);
        QVERIFY(!actions.at(0)->isCheckable());
        QVERIFY(actions.at(2)->isSeparator());
        actions.at(0)->trigger();
        QCOMPARE(opened, 1);
        actions.at(1)->trigger();
        QVERIFY(actions.at(1)->isCheckable() && actions.at(1)->isChecked());
        sticky->setState(TrayMenuItem::State::Mixed);
        QVERIFY(actions.at(1)->isCheckable() && !actions.at(1)->isChecked());
    }

    void imagesReadOnLightAndDarkPanels_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QColor>("panel");
        for (const char* image : {"StatusItem", "StatusItem_i"}) {
            for (const QColor panel : {QColor(Qt::white), QColor(0xf6, 0xf5, 0xf4),
                                       QColor(0x30, 0x30, 0x30), QColor(Qt::black)})
                QTest::addRow("%s on %s", image, qPrintable(panel.name())) << image << panel;
        }
    }

    void imagesReadOnLightAndDarkPanels()
    {
        QFETCH(QString, image);
        QFETCH(QColor, panel);
        const QIcon icon = TrayIcon::imageIcon(image);
        QVERIFY(!icon.isNull());
        QImage shown(22, 22, QImage::Format_ARGB32);
        shown.fill(panel);
        QPainter painter(&shown);
        icon.paint(&painter, shown.rect());
        painter.end();
        // Enough of the glyph must stand out clearly from the panel behind it.
        int contrasting = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x)
                contrasting += std::abs(qGray(shown.pixel(x, y)) - qGray(panel.rgb())) > 100;
        }
        QVERIFY2(contrasting >= 40, qPrintable(QString::number(contrasting)));
    }
};

QTEST_MAIN(TestTrayIcon)
#include "tst_TrayIcon.moc"
