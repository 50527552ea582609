// The sign-in form as the home controller presents it in the panel: the button and Return, the
// service's answer, the GUID stored a moment later, a GUID that cannot be stored, and Cancel.

#include "PanelFixture.h"
#include "base/SettingsFile.h"
#include "widget/LoginViewController.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

namespace {

const QString password = QStringLiteral("s3cret-Pass");

std::optional<QString> storedGuid()
{
    return Keychain(LoginViewController::tokenStoreName).storedToken();
}

} // namespace

class TestLoginViewController : public PanelFixture {
    Q_OBJECT

    LoginViewController* m_login = nullptr;

    // Shows the panel without a GUID and fills in the sign-in form it offers; the panel has the
    // keyboard, and the service knows the account.
    bool showLogin(const QString& secret)
    {
        m_client->accounts.insert(QStringLiteral("me@example.com ") + password,
                                  QStringLiteral("GUID-42"));
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
    void init() { setUpPanel(); }
    void cleanup()
    {
        m_login = nullptr;
        tearDownPanel();
    }

    void signIn_data()
    {
        QTest::addColumn<QString>("trigger"); // the button, or Return in a field
        QTest::addColumn<bool>("buttonEnabled");
        QTest::addColumn<QString>("secret"); // only the password is accepted
        QTest::newRow("button") << "buttonAuthenticate" << true << password;
        QTest::newRow("Return in the e-mail") << "textFieldEmail" << true << password;
        QTest::newRow("Return in the password") << "textFieldPassword" << true << password;
        QTest::newRow("Return, button disabled") << "textFieldPassword" << false << password;
        // Return is the form's, wherever the focus is in it.
        QTest::newRow("Return on Cancel") << "buttonCancel" << true << password;
        QTest::newRow("rejected by the service") << "buttonAuthenticate" << true << "wrong";
        // Sent like any other character, and turned down by the service like any wrong password.
        QTest::newRow("blank in the password") << "buttonAuthenticate" << true << "two words";
    }

    void signIn()
    {
        QFETCH(QString, trigger);
        QFETCH(bool, buttonEnabled);
        QFETCH(QString, secret);
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
        if (trigger == button->objectName()) {
            button->click();
        } else {
            outlet<QWidget>(qPrintable(trigger))->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QVERIFY(progress->isVisible());
        QVERIFY(status->isHidden());
        QTRY_VERIFY(status->isVisible());
        QVERIFY(progress->isHidden());
        QVERIFY(!status->pixmap().isNull());
        // One sign-in with the fields as typed, not one from the field and another from the
        // button.
        QCOMPARE(m_client->calls, QStringList{QStringLiteral("sign-in me@example.com ") + secret});

        if (secret != password) {
            // Said in words beside the image, never the server's text.
            QCOMPARE(outlet<QLabel>("textAuthenticationStatus")->text(),
                     QStringLiteral("Sign-in failed. Check the e-mail address and password."));
            QCOMPARE(status->accessibleName(),
                     QStringLiteral("Sign-in failed. Check the e-mail address and password."));
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
        QCOMPARE(outlet<QLabel>("textAuthenticationStatus")->text(), QStringLiteral("Signed in"));
        QCOMPARE(m_login->token(), std::optional(QStringLiteral("GUID-42")));
        QCOMPARE(storedGuid(), std::nullopt); // not before the delay
        QTRY_COMPARE(storedGuid(), std::optional(QStringLiteral("GUID-42")));
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        // The list appears again and hands the new GUID over.
        QCOMPARE(m_opener->handedOver, QStringList{QStringLiteral("tovo.TOVO tovo://GUID-42")});

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
        const QString file = SettingsFile::standardPath();
        const QString folder = QFileInfo(file).path();
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        const auto unblock = qScopeGuard([&blocker] { blocker.remove(); });
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        auto* status = outlet<QLabel>("imageViewAuthenticationStatus");
        outlet<QPushButton>("buttonAuthenticate")->click();
        QTRY_COMPARE(status->accessibleName(), QStringLiteral("Signed in"));
        QTRY_COMPARE(status->accessibleName(),
                     QStringLiteral("Signed in, but the account could not be saved on this "
                                    "computer."));
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

        const QPointer<LoginViewController> form = m_login;
        outlet<QPushButton>("buttonCancel")->click();
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        // The form goes once nothing more can come to it.
        QTRY_VERIFY(form.isNull());
        QCOMPARE(storedGuid().has_value(), signIn);
    }

    void formHidesThePasswordNamesItsControlsAndLinksTheSite()
    {
        QVERIFY(showLogin(QString()));
        outlet<QPushButton>("buttonLink")->click();
        QCOMPARE(m_opener->opened, QStringList{QStringLiteral("https://www.tovo.example")});
        QCOMPARE(outlet<QLineEdit>("textFieldPassword")->echoMode(), QLineEdit::Password);
        for (QWidget* control : m_login->view()->findChildren<QWidget*>()) {
            if (control->focusPolicy() != Qt::NoFocus || qobject_cast<QProgressBar*>(control) ||
                control == outlet<QLabel>("imageViewAuthenticationStatus")) {
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            }
        }
    }
};

QTEST_MAIN(TestLoginViewController)
#include "tst_LoginViewController.moc"
