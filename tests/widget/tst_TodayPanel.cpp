// The Today panel: Edit/Done, when its root appears, presenting and dismissing in its place, and
// the list controller it hosts.

#include "platform/TodayPanel.h"
#include "platform/ViewController.h"
#include "platform/WidgetListViewController.h"
#include "platform/WidgetListViewDelegate.h"
#include "platform/WidgetProviding.h"

#include <QFrame>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

namespace {

class PlainController : public ViewController {
    Q_OBJECT
public:
    QString nibName() const override { return QStringLiteral("PlainController"); }
    int appearances = 0;
    void viewWillAppear() override { ++appearances; }

public Q_SLOTS:
    void closeAction() { dismissViewController(this); }

protected:
    QWidget* loadView() override
    {
        auto* view = new QWidget;
        auto* close = new QPushButton(QStringLiteral("Close"), view);
        close->setObjectName(QStringLiteral("close"));
        close->setProperty("action", QStringLiteral("closeAction"));
        return view;
    }
};

class RootController : public PlainController,
                       public WidgetProviding,
                       public WidgetListViewDelegate {
    Q_OBJECT
public:
    int begins = 0;
    int ends = 0;
    bool widgetAllowsEditing() const override { return true; }
    void widgetDidBeginEditing() override { ++begins; }
    void widgetDidEndEditing() override { ++ends; }
    QMargins widgetMarginInsetsForProposedMarginInsets(const QMargins&) override
    {
        return QMargins(1, 2, 3, 4);
    }

    std::shared_ptr<ViewController> widgetListViewControllerForRow(WidgetListViewController* list,
                                                                   int row) override
    {
        // Rows of odd numbers are left out.
        if (list->contents().at(row).toInt() % 2 != 0) {
            return nullptr;
        }
        return std::make_shared<PlainController>();
    }
};

} // namespace

class TodayPanelTest : public QObject {
    Q_OBJECT
private:
    std::shared_ptr<RootController> m_root;
    std::unique_ptr<TodayPanel> m_panel;

private Q_SLOTS:
    void init()
    {
        m_root = std::make_shared<RootController>();
        m_panel = std::make_unique<TodayPanel>(m_root);
    }

    void cleanup()
    {
        m_panel.reset();
        m_root.reset();
    }

    void editButtonAlternates()
    {
        auto* edit = m_panel->findChild<QPushButton*>(QStringLiteral("editButton"));
        QCOMPARE(m_panel->windowTitle(), QStringLiteral("Today"));
        QCOMPARE(edit->text(), QStringLiteral("Edit"));

        for (int click = 1; click <= 3; ++click) {
            edit->click();
            const bool editing = click % 2 == 1;
            QCOMPARE(edit->text(), editing ? QStringLiteral("Done") : QStringLiteral("Edit"));
            QCOMPARE(edit->accessibleName(), edit->text());
            QCOMPARE(m_panel->isEditing(), editing);
            QCOMPARE(m_root->begins, (click + 1) / 2);
            QCOMPARE(m_root->ends, click / 2);
        }
    }

    void rootAppears_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("appearances");
        QTest::newRow("hidden again") << QStringLiteral("hide") << 1;
        QTest::newRow("minimised") << QStringLiteral("minimise") << 1;
        QTest::newRow("restored") << QStringLiteral("minimise restore") << 2;
        QTest::newRow("shown again") << QStringLiteral("hide show") << 2;
        QTest::newRow("activated while shown") << QStringLiteral("activate") << 2;
        QTest::newRow("activated while minimised") << QStringLiteral("minimise activate") << 2;
    }

    void rootAppears()
    {
        QFETCH(QString, steps);
        QFETCH(int, appearances);
        m_panel->show();
        QCOMPARE(m_root->appearances, 1);
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            if (step == QLatin1String("hide")) {
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
        QCOMPARE(m_root->appearances, appearances);
        QCOMPARE(m_panel->isMinimized(), steps.endsWith(QLatin1String("minimise")));
    }

    void presentedControllerTakesTheRootsPlace()
    {
        auto* stack = m_panel->findChild<QStackedWidget*>(QStringLiteral("contentStack"));
        QCOMPARE(stack->contentsMargins(), QMargins(1, 2, 3, 4));
        std::weak_ptr<PlainController> watched;
        {
            auto form = std::make_shared<PlainController>();
            watched = form;
            m_root->presentViewControllerInWidget(form);
        }
        QCOMPARE(m_panel->presentedViewController(), watched.lock().get());
        QCOMPARE(stack->currentWidget(), watched.lock()->view());
        QCOMPARE(watched.lock()->appearances, 1);

        // The form closes itself from its own button: it goes once that click is over.
        watched.lock()->view()->findChild<QPushButton*>(QStringLiteral("close"))->click();
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        QCOMPARE(stack->currentWidget(), m_root->view());
        QTRY_VERIFY(watched.expired());
        // Dismissing what is not presented changes nothing.
        m_root->dismissViewController(m_root.get());
        QCOMPARE(stack->currentWidget(), m_root->view());

        // The root appears again when the last of two stacked controllers goes.
        m_panel->show();
        const int shown = m_root->appearances;
        auto first = std::make_shared<PlainController>();
        auto second = std::make_shared<PlainController>();
        m_root->presentViewControllerInWidget(first);
        m_root->presentViewControllerInWidget(second);
        m_root->dismissViewController(second.get());
        QCOMPARE(m_root->appearances, shown);
        m_root->dismissViewController(first.get());
        QCOMPARE(m_root->appearances, shown + 1);
    }

    void listMakesRowsThroughItsDelegate()
    {
        auto list = std::make_shared<WidgetListViewController>();
        list->setDelegate(m_root.get());
        list->setContents({0, 1, 2, 4});

        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->rowViewController(0)->representedObject(), QVariant(0));
        QCOMPARE(list->rowViewController(1)->representedObject(), QVariant(2));
        QCOMPARE(list->rowViewController(2)->representedObject(), QVariant(4));
        QCOMPARE(list->rowViewController(3), nullptr);

        QCOMPARE(list->view()->findChildren<QFrame*>(QStringLiteral("divider")).size(), 2);
        list->setHasDividerLines(false);
        QCOMPARE(list->view()->findChildren<QFrame*>(QStringLiteral("divider")).size(), 0);
        QCOMPARE(list->rowCount(), 3);

        // New contents, new row controllers; the old ones are let go.
        std::weak_ptr<ViewController> old = list->rowViewController(0)->shared_from_this();
        list->setContents({6});
        QCOMPARE(list->rowCount(), 1);
        QVERIFY(old.expired());
    }
};

QTEST_MAIN(TodayPanelTest)
#include "tst_TodayPanel.moc"
