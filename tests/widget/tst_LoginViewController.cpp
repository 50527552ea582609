// The sign-in form inside the panel, against the fake service.

#include "FakeService.h"
#include "HomeViewController.h"
#include "LoginViewController.h"
#include "RecordingWorkspace.h"
#include "core/Keychain.h"
#include "platform/TodayPanel.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {

const QString password = QStringLiteral("s3cret-Pass");

std::optional<QString> storedGuid()
{
    return Keychain(LoginViewController::tokenStoreName).storedToken();
}

} // namespace

class LoginViewControllerTest : public QObject {
    Q_OBJECT
private:
    template <typename T> T* outlet(const char* name) const
    {
        return m_login->view()->findChild<T*>(QString::fromLatin1(name));
    }

    FakeService m_service;
    RecordingWorkspace m_workspace;
    QByteArray m_guid = "GUID-42";
    std::shared_ptr<HomeViewController> m_home;
    std::unique_ptr<TodayPanel> m_panel;
    LoginViewController* m_login = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TOVO_WEB_BASE", m_service.baseUrl().toUtf8());
        qputenv("TOVO_FEED_BASE", m_service.baseUrl().toUtf8());
        m_service.setHandler([this](const QByteArray& target) {
            if (target.startsWith("/resolveGUID")) {
                return m_guid.isEmpty() ? FakeService::Answer(401, "denied")
                                        : FakeService::Answer(200, "<guid>" + m_guid + "</guid>");
            }
            return FakeService::Answer(200, "<rss><channel/></rss>");
        });
        Workspace::setShared(&m_workspace);
    }

    void cleanupTestCase() { Workspace::setShared(nullptr); }
    void init()
    {
        Keychain(LoginViewController::tokenStoreName).storeToken(QString());
        m_guid = "GUID-42";
        m_workspace = RecordingWorkspace();
        // Long enough to see the form between the success and the storing.
        m_home = std::make_shared<HomeViewController>(
            WidgetDelays{std::chrono::milliseconds(1), std::chrono::milliseconds(400)});
        m_panel = std::make_unique<TodayPanel>(m_home);
        m_panel->show();
        m_login = qobject_cast<LoginViewController*>(m_panel->presentedViewController());
        QVERIFY(m_login);
    }

    void cleanup()
    {
        m_login = nullptr;
        m_panel.reset();
        m_home.reset();
    }

private:
    void fillIn(const QString& email, const QString& secret)
    {
        outlet<QLineEdit>("textFieldEmail")->setText(email);
        outlet<QLineEdit>("textFieldPassword")->setText(secret);
    }

private Q_SLOTS:
    void signIn_data()
    {
        QTest::addColumn<QString>("trigger"); // the button, or Return in a field
        QTest::addColumn<bool>("buttonEnabled");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("button") << "buttonAuthenticate" << true << password << true;
        for (const char* field : {"textFieldEmail", "textFieldPassword"}) {
            QTest::addRow("Return in %s", field) << field << true << password << true;
            QTest::addRow("Return in %s, button disabled", field)
                << field << false << password << true;
        }
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
        fillIn(QStringLiteral("me@example.com"), secret);
        const qsizetype from = m_service.requestTargets().size();
        if (trigger == button->objectName()) {
            button->click();
        } else {
            QTest::keyClick(m_login->view()->findChild<QLineEdit*>(trigger), Qt::Key_Return);
        }
        const bool atOnce = secret.contains(QLatin1Char(' '));
        QCOMPARE(progress->isVisible(), !atOnce);
        QCOMPARE(status->isVisible(), atOnce);
        QTRY_VERIFY(status->isVisible());
        QVERIFY(progress->isHidden());
        QVERIFY(!status->pixmap().isNull());
        // One sign-in request with the fields as typed, not one from the field and another from
        // the button; none for a blank.
        const QList<QByteArray> sent = m_service.requestTargets().mid(from);
        QCOMPARE(static_cast<int>(std::count_if(
                     sent.cbegin(), sent.cend(),
                     [](const QByteArray& target) { return target.startsWith("/resolveGUID"); })),
                 atOnce ? 0 : 1);
        QCOMPARE(sent.contains("/resolveGUID?email=me@example.com&password=" + secret.toUtf8()),
                 !atOnce);

        if (!accepted) {
            QCOMPARE(status->accessibleName(), QStringLiteral("Sign-in failed"));
            QCOMPARE(outlet<QLineEdit>("textFieldEmail")->text(), QStringLiteral("me@example.com"));
            QCOMPARE(outlet<QLineEdit>("textFieldPassword")->text(), secret);
            QCOMPARE(m_panel->presentedViewController(), m_login);
            QCOMPARE(m_login->token(), std::nullopt);
            // A new attempt hides the old outcome until its own arrives.
            fillIn(QStringLiteral("me@example.com"), QStringLiteral("wrong"));
            button->click();
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
        QTRY_COMPARE(m_workspace.applicationUrls.size(), 1);
        QCOMPARE(m_workspace.applicationUrls.first().first,
                 QStringList{QStringLiteral("tovo://GUID-42")});

        // The password went to the service only, never into a file.
        QDirIterator files(qEnvironmentVariable("TOVO_TEST_TMP"), QDir::Files | QDir::Hidden,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains(password.toUtf8()), qPrintable(file.fileName()));
        }
    }

    void cancel_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("stored");
        QTest::newRow("nothing pending") << QString() << false;
        QTest::newRow("sign-in failed") << QStringLiteral("failure") << false;
        QTest::newRow("request running") << QStringLiteral("running") << true;
        QTest::newRow("success pending") << QStringLiteral("success") << true;
    }

    void cancel()
    {
        QFETCH(QString, before);
        QFETCH(bool, stored);
        fillIn(QStringLiteral("me@example.com"), password);
        auto* status = outlet<QLabel>("imageViewAuthenticationStatus");
        if (before == QLatin1String("failure")) {
            m_guid.clear();
        }
        if (!before.isEmpty()) {
            outlet<QPushButton>("buttonAuthenticate")->click();
        }
        if (before == QLatin1String("failure") || before == QLatin1String("success")) {
            QTRY_VERIFY(status->isVisible());
        }

        std::weak_ptr<ViewController> form = m_login->shared_from_this();
        outlet<QPushButton>("buttonCancel")->click();
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        // Once the form is gone nothing more can come from it.
        QTRY_VERIFY(form.expired());
        QCOMPARE(storedGuid().has_value(), stored);
    }

    void keyboardAndAccessibility()
    {
        auto* email = outlet<QLineEdit>("textFieldEmail");
        auto* secret = outlet<QLineEdit>("textFieldPassword");
        QCOMPARE(secret->echoMode(), QLineEdit::Password);

        QApplication::setActiveWindow(m_panel.get());
        QVERIFY(QTest::qWaitForWindowActive(m_panel.get()));
        QTRY_COMPARE(QApplication::focusWidget(), email);
        QTest::keyClick(email, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), secret);
        QTest::keyClick(secret, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), outlet<QPushButton>("buttonAuthenticate"));

        for (QWidget* control : m_login->view()->findChildren<QWidget*>()) {
            if (control->focusPolicy() != Qt::NoFocus || qobject_cast<QProgressBar*>(control) ||
                control == outlet<QLabel>("imageViewAuthenticationStatus")) {
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            }
        }
    }

    void linkOpensTheWebSite()
    {
        outlet<QPushButton>("buttonLink")->click();
        QCOMPARE(m_workspace.browserUrls, QStringList{m_service.baseUrl()});
        QCOMPARE(m_panel->presentedViewController(), m_login);
    }
};

QTEST_MAIN(LoginViewControllerTest)
#include "tst_LoginViewController.moc"
