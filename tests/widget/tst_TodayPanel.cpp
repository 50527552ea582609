// The Today panel: Edit/Done, when its root appears, and presenting and dismissing in its place.

#include "widget/PanelContent.h"
#include "widget/TodayPanel.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

namespace {

class RootController : public PanelContent {
    Q_OBJECT
public:
    QString nibName() const override { return QStringLiteral("RootController"); }
    int appearances = 0;
    int begins = 0;
    int ends = 0;
    void viewWillAppear() override { ++appearances; }
    bool widgetAllowsEditing() const override { return true; }
    void widgetDidBeginEditing() override { ++begins; }
    void widgetDidEndEditing() override { ++ends; }

protected:
    QWidget* loadView() override { return new QWidget; }
};

} // namespace

class TestTodayPanel : public QObject {
    Q_OBJECT
private:
    RootController* m_root = nullptr; // the panel's
    std::unique_ptr<TodayPanel> m_panel;

private Q_SLOTS:
    void init()
    {
        m_root = new RootController;
        m_panel = std::make_unique<TodayPanel>(m_root);
    }

    void cleanup() { m_panel.reset(); }

    // The button says what it does: Edit begins, Done ends, and so does the going of the last
    // form shown meanwhile (cancelled or done).
    void editButtonFollowsTheEditing_data()
    {
        QTest::addColumn<QString>("steps"); // "edit" clicks the button, "gone" dismisses a form
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("begins");
        QTest::addColumn<int>("ends");
        const QString edit = QStringLiteral("Edit the Today panel");
        const QString finish = QStringLiteral("Finish editing the Today panel");
        QTest::newRow("Edit") << u"edit"_qs << u"Done"_qs << finish << 1 << 0;
        QTest::newRow("Edit, Done") << u"edit edit"_qs << u"Edit"_qs << edit << 1 << 1;
        QTest::newRow("Edit, Done, Edit") << u"edit edit edit"_qs << u"Done"_qs << finish << 2 << 1;
        QTest::newRow("Edit, form gone") << u"edit gone"_qs << u"Edit"_qs << edit << 1 << 1;
        QTest::newRow("Edit, form gone, Edit")
            << u"edit gone edit"_qs << u"Done"_qs << finish << 2 << 1;
        QTest::newRow("form gone") << u"gone"_qs << u"Edit"_qs << edit << 0 << 0;
    }

    void editButtonFollowsTheEditing()
    {
        QFETCH(QString, steps);
        auto* button = m_panel->findChild<QPushButton*>(QStringLiteral("editButton"));
        for (const QString& step : steps.split(u' ')) {
            if (step == u"edit") {
                button->click();
            } else {
                auto* form = new RootController;
                m_root->presentViewControllerInWidget(form);
                m_root->dismissViewController(form);
            }
        }
        QTEST(button->text(), "text");
        QCOMPARE(button->accessibleName(), button->text());
        QTEST(button->accessibleDescription(), "description");
        QCOMPARE(m_panel->isEditing(), button->text() == u"Done");
        QTEST(m_root->begins, "begins");
        QTEST(m_root->ends, "ends");
    }

    void rootAppears_data()
    {
        QTest::addColumn<QString>("steps"); // each brings the root back once
        QTest::newRow("restored") << QStringLiteral("minimise restore");
        QTest::newRow("shown again") << QStringLiteral("hide show");
        QTest::newRow("activated while shown") << QStringLiteral("activate");
        QTest::newRow("activated while minimised") << QStringLiteral("minimise activate");
        QTest::newRow("focus back from another window") << QStringLiteral("elsewhere focus");
        QTest::newRow("second start after another window") << QStringLiteral("elsewhere activate");
    }

    void rootAppears()
    {
        QFETCH(QString, steps);
        m_panel->show();
        QCOMPARE(m_root->appearances, 1);
        QWidget other;
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            if (step == QLatin1String("elsewhere")) {
                QTRY_VERIFY(m_panel->isActiveWindow());
                other.show();
                other.activateWindow();
                QTRY_VERIFY(!m_panel->isActiveWindow());
            } else if (step == QLatin1String("focus")) {
                m_panel->activateWindow();
            } else if (step == QLatin1String("hide")) {
                m_panel->hide();
            } else if (step == QLatin1String("show")) {
                m_panel->show();
            } else if (step == QLatin1String("minimise")) {
                m_panel->showMinimized();
            } else if (step == QLatin1String("restore")) {
                m_panel->showNormal();
            } else {
                m_panel->activate();
            }
        }
        // Hiding or minimising would have added one more.
        QTRY_VERIFY(m_panel->isActiveWindow() || !steps.contains(QLatin1String("elsewhere")));
        QCOMPARE(m_root->appearances, 2);
        QVERIFY(!m_panel->isMinimized());
    }

    void rootAppearsAgainWhenTheLastPresentedGoes()
    {
        auto* stack = m_panel->findChild<QStackedWidget*>(QStringLiteral("contentStack"));
        m_panel->show();
        auto* first = new RootController;
        const QPointer<RootController> second = new RootController;
        m_root->presentViewControllerInWidget(first);
        m_root->presentViewControllerInWidget(second);
        QCOMPARE(m_panel->presentedViewController(), second);
        QCOMPARE(stack->currentWidget(), second->view());
        QCOMPARE(second->appearances, 1);
        // Dismissing what is not presented changes nothing.
        m_root->dismissViewController(m_root);
        QCOMPARE(stack->currentWidget(), second->view());

        m_root->dismissViewController(second);
        QCOMPARE(stack->currentWidget(), first->view());
        QCOMPARE(m_root->appearances, 1);
        QTRY_VERIFY(second.isNull()); // a dismissed controller goes with its view
        m_root->dismissViewController(first);
        QCOMPARE(stack->currentWidget(), m_root->view());
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        QCOMPARE(m_root->appearances, 2);
    }
};

QTEST_MAIN(TestTodayPanel)
#include "tst_TodayPanel.moc"
