#pragma once
// The sign-in form shown inside the panel: e-mail address and password to the account GUID.
// Shows the outcome as a status image with a short text beside it; after a success it stores the
// GUID a moment later and closes itself (or, when the GUID cannot be stored, shows a failure and
// stays). Return signs in wherever the focus is in the form. The password is only read to pass it
// on, never kept.

#include "widget/ViewController.h"

#include <chrono>
#include <memory>
#include <optional>

namespace Ui {
class LoginViewController;
}
class ServiceClient;
class UrlOpener;

class LoginViewController : public ViewController {
    Q_OBJECT
public:
    static inline const QString tokenStoreName = QStringLiteral("tovotoday");

    // Signs in through `client` and opens the web site through `urlOpener`; both outlive it.
    LoginViewController(ServiceClient& client, UrlOpener& urlOpener,
                        std::chrono::milliseconds storeDelay = std::chrono::seconds(1),
                        QObject* parent = nullptr);
    ~LoginViewController() override;

    QString nibName() const override { return QStringLiteral("LoginViewController"); }

    // Enables or disables the sign-in button on every assignment (initially false, the button
    // as the interface resource has it).
    bool authenticateEnabled() const { return m_authenticateEnabled; }
    void setAuthenticateEnabled(bool enabled);

    // The GUID of the last successful sign-in, until it is stored.
    const std::optional<QString>& token() const { return m_token; }
    void setToken(const std::optional<QString>& token) { m_token = token; }

    void viewDidLoad() override;
    void viewWillAppear() override;

public Q_SLOTS:
    void buttonAuthenticateTouchUpInside();
    // Return in a text field: the same sign-in, whether the button is enabled or not.
    void textFieldEnterAction();
    // Closes the form; a running sign-in still completes (and a success is still stored).
    void buttonCancelTouchUpInside();
    void buttonLinkTouchUpInside();

    void loginSuccess(const QString& message);
    void loginFailed(const QString& message);

protected:
    QWidget* loadView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void signIn();
    void showFailure(const QString& text);
    void showStatus(bool signedIn, const QString& text);

    ServiceClient& m_client;
    UrlOpener& m_urlOpener;
    std::unique_ptr<Ui::LoginViewController> m_ui;
    std::chrono::milliseconds m_storeDelay;
    bool m_authenticateEnabled = false;
    std::optional<QString> m_token;
};
