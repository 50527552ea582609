// The home controller and its sign-in form in the panel, against the fake service, with a fake
// tovo.TOVO on the private bus that records what the widget hands over.

#include "FakeApplication.h"
#include "FakeService.h"
#include "base/SettingsFile.h"
#include "core/Keychain.h"
#include "widget/AlarmRowViewController.h"
#include "widget/HomeViewController.h"
#include "widget/ListEntry.h"
#include "widget/LoginViewController.h"
#include "widget/MessageViewController.h"
#include "widget/TodayPanel.h"
#include "widget/WidgetListViewController.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString password = QStringLiteral("s3cret-Pass");

void storeGuid(const QString& guid)
{
    Keychain(HomeViewController::tokenStoreName).storeToken(guid);
}

std::optional<QString> storedGuid()
{
    return Keychain(LoginViewController::tokenStoreName).storedToken();
}

// A feed with one alarm per level ("Critical/Minor"): alarm N of agent-N on res-N with text-N
// and guid-N.
QByteArray feedOf(const QString& levelList)
{
    const QStringList levels = levelList.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QByteArray body = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Alarms</title>";
    for (int n = 1; n <= levels.size(); ++n) {
        const QByteArray number = QByteArray::number(n);
        body += "<item><title>agent-" + number + ": " + levels[n - 1].toUtf8() +
                "</title><description><![CDATA[Resource: res-" + number + "<br>text-" + number +
                "]]></description><guid>guid-" + number + "</guid></item>";
    }
    return body + "</channel></rss>";
}

// "Critical/Minor": the levels of the list's alarm rows; message rows as their type.
QString rowsOf(const WidgetListViewController* list)
{
    QStringList rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        const ViewController* controller = list->rowViewController(row);
        const AlarmPtr alarm = ListEntry::alarm(controller->representedObject());
        const ItemPtr item = ListEntry::item(controller->representedObject());
        if (alarm && qobject_cast<const AlarmRowViewController*>(controller)) {
            rows << alarm->alarmLevel();
        } else if (!alarm && item && qobject_cast<const MessageViewController*>(controller)) {
            rows << QString::fromLatin1(item->alarmType() == AlarmType::Error ? "Error"
                                                                              : "NoAlarms");
        } else {
            rows << QStringLiteral("?");
        }
    }
    return rows.join(QLatin1Char('/'));
}

} // namespace

class ControllersTest : public QObject {
    Q_OBJECT
private:
    FakeService m_service;
    std::unique_ptr<FakeApplication> m_tovo;
    QByteArray m_feed;
    int m_status = 200;
    QByteArray m_guid; // the sign-in's answer; none: the service turns it down
    std::shared_ptr<HomeViewController> m_home;
    std::unique_ptr<TodayPanel> m_panel;
    LoginViewController* m_login = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TOVO_FEED_BASE", m_service.baseUrl().toUtf8());
        qputenv("TOVO_WEB_BASE", m_service.baseUrl().toUtf8());
        m_service.setHandler([this](const QByteArray& target) {
            if (target.startsWith("/resolveGUID")) {
                return m_guid.isEmpty() ? FakeService::Answer(401, "denied")
                                        : FakeService::Answer(200, "<guid>" + m_guid + "</guid>");
            }
            return FakeService::Answer(m_status, m_feed);
        });
    }

    void init()
    {
        storeGuid(QString());
        m_tovo = std::make_unique<FakeApplication>(HomeViewController::tovoApplicationId);
        QVERIFY(m_tovo->registerOnBus());
        m_feed = feedOf(QStringLiteral("Critical/Minor"));
        m_status = 200;
        m_guid = "GUID-42";
        // Long enough to see the form between a successful sign-in and the storing.
        m_home = std::make_shared<HomeViewController>(
            WidgetDelays{std::chrono::milliseconds(1), std::chrono::milliseconds(400)});
        m_panel = std::make_unique<TodayPanel>(m_home);
    }

    void cleanup()
    {
        m_login = nullptr;
        m_panel.reset();
        m_home.reset();
        m_tovo.reset();
    }

private:
    void appearAndWaitForFeed()
    {
        QSignalSpy applied(m_home.get(), &HomeViewController::feedApplied);
        if (m_panel->isVisible()) {
            m_panel->activate();
        } else {
            m_panel->show();
        }
        if (applied.isEmpty()) {
            QVERIFY(applied.wait());
        }
    }

    // Shows the panel without a GUID and fills in the sign-in form it offers; the panel has the
    // keyboard.
    bool showLogin(const QString& secret)
    {
        m_panel->show();
        m_panel->activateWindow();
        if (!QTest::qWaitForWindowActive(m_panel.get()))
            return false;
        m_login = qobject_cast<LoginViewController*>(m_panel->presentedViewController());
        if (m_login) {
            outlet<QLineEdit>("textFieldEmail")->setText(QStringLiteral("me@example.com"));
            outlet<QLineEdit>("textFieldPassword")->setText(secret);
        }
        return m_login;
    }

    template <typename T> T* outlet(const char* name) const
    {
        return m_login->view()->findChild<T*>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void withoutGuidTheLoginIsOfferedOnce()
    {
        const qsizetype requestsBefore = m_service.requestTargets().size();
        m_panel->show();
        QVERIFY(qobject_cast<LoginViewController*>(m_panel->presentedViewController()));

        // Closing the form, hiding and showing the panel again: no second form, no fetch.
        m_panel->dismiss(m_panel->presentedViewController());
        m_panel->hide();
        m_panel->show();
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        QCOMPARE(m_home->listViewController()->rowCount(), 0);

        storeGuid(QStringLiteral("abc"));
        appearAndWaitForFeed();
        QCOMPARE(m_service.requestTargets().mid(requestsBefore),
                 QList<QByteArray>{"/rssalarms?mac2&id=abc"});
    }

    // Which changes of the panel make its root appear is the panel's own test.
    void everyAppearanceWithGuidHandsItToTovoAndFetches()
    {
        storeGuid(QStringLiteral("abc"));
        const qsizetype requestsBefore = m_service.requestTargets().size();
        appearAndWaitForFeed();
        appearAndWaitForFeed(); // a second start activates the panel
        const QStringList uri{QStringLiteral("tovo://abc")};
        QTRY_COMPARE(m_tovo->openedUris(), (QList<QStringList>{uri, uri}));
        QCOMPARE(m_service.requestTargets().size() - requestsBefore, 2);
        QCOMPARE(m_panel->presentedViewController(), nullptr);
    }

    void guidThatMakesNoUrlIsNotHandedOn()
    {
        storeGuid(QStringLiteral("a b"));
        appearAndWaitForFeed();
        QCOMPARE(rowsOf(m_home->listViewController()), QStringLiteral("Error"));

        // Calls reach the fake in order: the next hand-over is the first it sees.
        storeGuid(QStringLiteral("abc"));
        appearAndWaitForFeed();
        QTRY_COMPARE(m_tovo->openedUris().size(), 1);
        QCOMPARE(m_tovo->openedUris().first(), QStringList{QStringLiteral("tovo://abc")});
    }

    void nextFeedReplacesTheListUnlessIdentical_data()
    {
        QTest::addColumn<bool>("fromError");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("rows"); // with status 200 also the feed's levels
        QTest::addColumn<bool>("replaced");
        // Message rows give way to alarms and to other messages.
        QTest::newRow("error, alarms") << true << 200 << "Critical/Minor" << true;
        QTest::newRow("error, no alarms") << true << 200 << "NoAlarms" << true;
        QTest::newRow("alarms, error") << false << 500 << "Error" << true;
        QTest::newRow("identical") << false << 200 << "Critical/Minor" << false;
        QTest::newRow("first alarm changed") << false << 200 << "Resolved/Minor" << true;
        // The first alarm alone would not show these changes.
        QTest::newRow("later alarm resolved") << false << 200 << "Critical/Resolved" << true;
        QTest::newRow("one alarm more") << false << 200 << "Critical/Minor/Major" << true;
        QTest::newRow("one alarm less") << false << 200 << "Critical" << true;
    }

    void nextFeedReplacesTheListUnlessIdentical()
    {
        QFETCH(bool, fromError);
        QFETCH(int, status);
        QFETCH(QString, rows);
        QFETCH(bool, replaced);
        storeGuid(QStringLiteral("abc"));
        m_status = fromError ? 503 : 200;
        appearAndWaitForFeed();
        WidgetListViewController* list = m_home->listViewController();
        QCOMPARE(rowsOf(list),
                 fromError ? QStringLiteral("Error") : QStringLiteral("Critical/Minor"));
        const QPointer<QWidget> firstRow = list->rowViewController(0)->view();

        QSignalSpy changed(list, &WidgetListViewController::contentsChanged);
        m_status = status;
        m_feed = feedOf(rows == QLatin1String("NoAlarms") ? QString() : rows);
        appearAndWaitForFeed();
        QCOMPARE(changed.size(), replaced ? 1 : 0);
        QCOMPARE(firstRow.isNull(), replaced);
        QCOMPARE(rowsOf(list), rows);
    }

    void editPresentsLoginEveryOtherTime()
    {
        storeGuid(QStringLiteral("abc"));
        appearAndWaitForFeed();
        QCOMPARE(m_panel->presentedViewController(), nullptr);

        m_home->widgetDidBeginEditing();
        QTRY_VERIFY(qobject_cast<LoginViewController*>(m_panel->presentedViewController()));
        m_panel->dismiss(m_panel->presentedViewController());

        m_home->widgetDidBeginEditing(); // the second use presents nothing
        m_home->widgetDidBeginEditing();
        QTRY_VERIFY(m_panel->presentedViewController());
        // Had the second use presented a form too, it would be underneath this one.
        m_panel->dismiss(m_panel->presentedViewController());
        QCOMPARE(m_panel->presentedViewController(), nullptr);
    }

    void signIn_data()
    {
        QTest::addColumn<QString>("trigger"); // the button, or Return in a field
        QTest::addColumn<bool>("buttonEnabled");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("button") << "buttonAuthenticate" << true << password << true;
        QTest::newRow("Return in the e-mail") << "textFieldEmail" << true << password << true;
        QTest::newRow("Return in the password") << "textFieldPassword" << true << password << true;
        QTest::newRow("Return, button disabled")
            << "textFieldPassword" << false << password << true;
        // Return is the form's, wherever the focus is in it.
        QTest::newRow("Return on Cancel") << "buttonCancel" << true << password << true;
        QTest::newRow("rejected by the service")
            << "buttonAuthenticate" << true << "wrong" << false;
        // No request can carry it: the failure shows before the click returns.
        QTest::newRow("blank in the password")
            << "buttonAuthenticate" << true << "two words" << false;
    }

    void signIn()
    {
        QFETCH(QString, trigger);
        QFETCH(bool, buttonEnabled);
        QFETCH(QString, secret);
        QFETCH(bool, accepted);
        QVERIFY(showLogin(secret));
        auto* button = outlet<QPushButton>("buttonAuthenticate");
        auto* status = outlet<QLabel>("imageViewAuthenticationStatus");
        auto* progress = outlet<QProgressBar>("progressIndicator");
        // The initial false leaves the button as the form has it; later values drive it.
        QVERIFY(!m_login->authenticateEnabled());
        QVERIFY(button->isEnabled());
        m_login->setAuthenticateEnabled(!buttonEnabled);
        m_login->setAuthenticateEnabled(buttonEnabled);
        QCOMPARE(button->isEnabled(), buttonEnabled);
        if (!accepted) {
            m_guid.clear();
        }
        const qsizetype from = m_service.requestTargets().size();
        if (trigger == button->objectName()) {
            button->click();
        } else {
            outlet<QWidget>(qPrintable(trigger))->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        const bool atOnce = secret.contains(QLatin1Char(' '));
        QCOMPARE(progress->isVisible(), !atOnce);
        QCOMPARE(status->isVisible(), atOnce);
        QTRY_VERIFY(status->isVisible());
        QVERIFY(progress->isHidden());
        QVERIFY(!status->pixmap().isNull());
        // One sign-in request with the fields as typed, not one from the field and another from
        // the button; none for a blank.
        QList<QByteArray> signIns = m_service.requestTargets().mid(from);
        signIns.removeIf(
            [](const QByteArray& target) { return !target.startsWith("/resolveGUID"); });
        QCOMPARE(signIns, atOnce ? QList<QByteArray>()
                                 : QList<QByteArray>{"/resolveGUID?email=me@example.com&password=" +
                                                     secret.toUtf8()});

        if (!accepted) {
            QCOMPARE(status->accessibleName(), QStringLiteral("Sign-in failed"));
            QCOMPARE(outlet<QLineEdit>("textFieldEmail")->text(), QStringLiteral("me@example.com"));
            QCOMPARE(outlet<QLineEdit>("textFieldPassword")->text(), secret);
            QCOMPARE(m_panel->presentedViewController(), m_login);
            QCOMPARE(m_login->token(), std::nullopt);
            // What one types next replaces the password, and Return tries again; the new attempt
            // hides the old outcome until its own arrives.
            auto* field = outlet<QLineEdit>("textFieldPassword");
            QCOMPARE(QApplication::focusWidget(), field);
            QTest::keyClicks(field, QStringLiteral("wrong"));
            QCOMPARE(field->text(), QStringLiteral("wrong"));
            QTest::keyClick(field, Qt::Key_Return);
            QVERIFY(status->isHidden());
            QTRY_VERIFY(status->isVisible());
            return;
        }
        QCOMPARE(status->accessibleName(), QStringLiteral("Signed in"));
        QCOMPARE(m_login->token(), std::optional(QStringLiteral("GUID-42")));
        QCOMPARE(storedGuid(), std::nullopt); // not before the delay
        QTRY_COMPARE(storedGuid(), std::optional(QStringLiteral("GUID-42")));
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        // The list appears again and hands the new GUID over.
        QTRY_COMPARE(m_tovo->openedUris(), QList<QStringList>{{QStringLiteral("tovo://GUID-42")}});

        // The password went to the service only, never into a file.
        QDirIterator files(qEnvironmentVariable("TOVO_TEST_TMP"), QDir::Files | QDir::Hidden,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains(password.toUtf8()), qPrintable(file.fileName()));
        }
    }

    // A GUID that cannot be written (the settings folder is a file) is a failed sign-in; once it
    // can, signing in again writes it.
    void unstorableGuidKeepsTheFormOpen()
    {
        QVERIFY(showLogin(password));
        const QString file = SettingsFile::standard().filePath();
        const QString folder = QFileInfo(file).path();
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        const auto unblock = qScopeGuard([&blocker] { blocker.remove(); });
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        auto* status = outlet<QLabel>("imageViewAuthenticationStatus");
        outlet<QPushButton>("buttonAuthenticate")->click();
        QTRY_COMPARE(status->accessibleName(), QStringLiteral("Signed in"));
        QTRY_COMPARE(status->accessibleName(), QStringLiteral("Sign-in failed"));
        QCOMPARE(m_panel->presentedViewController(), m_login);
        QCOMPARE(storedGuid(), std::nullopt);

        QVERIFY(blocker.remove());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(m_panel->presentedViewController(), nullptr);
        QCOMPARE(SettingsFile(file).string(QStringLiteral("guid")), QStringLiteral("GUID-42"));
    }

    void cancel_data()
    {
        QTest::addColumn<bool>("signIn");
        QTest::addColumn<bool>("outcomeShown");
        QTest::newRow("nothing pending") << false << false;
        QTest::newRow("request running") << true << false;
        QTest::newRow("success pending") << true << true;
    }

    // A running sign-in still completes after the form is closed, and its GUID is stored.
    void cancel()
    {
        QFETCH(bool, signIn);
        QFETCH(bool, outcomeShown);
        QVERIFY(showLogin(password));
        if (signIn) {
            outlet<QPushButton>("buttonAuthenticate")->click();
        }
        if (outcomeShown) {
            QTRY_VERIFY(outlet<QLabel>("imageViewAuthenticationStatus")->isVisible());
        }

        std::weak_ptr<ViewController> form = m_login->shared_from_this();
        outlet<QPushButton>("buttonCancel")->click();
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        // Once the form is gone nothing more can come from it.
        QTRY_VERIFY(form.expired());
        QCOMPARE(storedGuid().has_value(), signIn);
    }

    void formHidesThePasswordAndNamesItsControls()
    {
        QVERIFY(showLogin(QString()));
        QCOMPARE(outlet<QLineEdit>("textFieldPassword")->echoMode(), QLineEdit::Password);
        for (QWidget* control : m_login->view()->findChildren<QWidget*>()) {
            if (control->focusPolicy() != Qt::NoFocus || qobject_cast<QProgressBar*>(control) ||
                control == outlet<QLabel>("imageViewAuthenticationStatus")) {
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            }
        }
    }
};

QTEST_MAIN(ControllersTest)
#include "tst_Controllers.moc"
