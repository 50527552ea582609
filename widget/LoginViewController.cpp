#include "LoginViewController.h"

#include "StatusImage.h"
#include "core/APIClient.h"
#include "core/Keychain.h"
#include "platform/MainQueue.h"
#include "platform/ServiceEndpoints.h"
#include "platform/Workspace.h"
#include "ui_LoginViewController.h"

namespace {

constexpr int statusImageSize = 20;

} // namespace

LoginViewController::LoginViewController(std::chrono::milliseconds storeDelay)
    : m_storeDelay(storeDelay)
{}

LoginViewController::~LoginViewController() = default;

QWidget* LoginViewController::loadView()
{
    auto* root = new QWidget;
    m_ui = std::make_unique<Ui::LoginViewController>();
    m_ui->setupUi(root);
    return root;
}

void LoginViewController::setAuthenticateEnabled(bool enabled)
{
    m_authenticateEnabled = enabled;
    if (isViewLoaded()) {
        m_ui->buttonAuthenticate->setEnabled(enabled);
    }
}

void LoginViewController::viewDidLoad()
{
    // Return on the focused button signs in, as it does in either text field.
    m_ui->buttonAuthenticate->setAutoDefault(true);
    m_ui->buttonAuthenticate->setDefault(true);
    m_ui->progressIndicator->hide();
}

void LoginViewController::viewWillAppear()
{
    m_ui->textFieldEmail->setFocus(Qt::OtherFocusReason);
}

void LoginViewController::buttonAuthenticateTouchUpInside()
{
    signIn();
}

void LoginViewController::textFieldEnterAction()
{
    signIn();
}

void LoginViewController::buttonCancelTouchUpInside()
{
    dismissViewController(this);
}

void LoginViewController::buttonLinkTouchUpInside()
{
    Workspace::shared().openUrl(ServiceEndpoints::webBase());
}

void LoginViewController::signIn()
{
    view();
    m_ui->progressIndicator->show();
    m_ui->imageViewAuthenticationStatus->hide();
    m_ui->textFieldPassword->clearFocus();
    m_ui->textFieldEmail->clearFocus();

    const std::shared_ptr<LoginViewController> self = sharedFrom(this);
    APIClient::sharedClient().authenticate(
        m_ui->textFieldEmail->text(), m_ui->textFieldPassword->text(),
        [self](const Result<QString>& result) {
            if (result.isSuccess()) {
                self->setToken(result.value());
                self->loginSuccess(QStringLiteral("Login successful"));
            } else {
                self->loginFailed(result.error().localizedDescription());
            }
        });
}

void LoginViewController::loginSuccess(const QString& /*message*/)
{
    showStatus(true);
    const std::shared_ptr<LoginViewController> self = sharedFrom(this);
    MainQueue::asyncAfter(m_storeDelay, [self] {
        Keychain(tokenStoreName).storeToken(self->token());
        self->dismissViewController(self.get());
    });
}

void LoginViewController::loginFailed(const QString& /*message*/)
{
    showStatus(false);
}

void LoginViewController::showStatus(bool signedIn)
{
    // The panel may have been closed while the request ran.
    if (!isViewLoaded()) {
        return;
    }
    m_ui->progressIndicator->hide();
    QLabel* status = m_ui->imageViewAuthenticationStatus;
    const QIcon image = signedIn ? StatusImage::available() : StatusImage::unavailable();
    status->setPixmap(
        image.pixmap(QSize(statusImageSize, statusImageSize), status->devicePixelRatioF()));
    const QString meaning =
        signedIn ? QStringLiteral("Signed in") : QStringLiteral("Sign-in failed");
    status->setAccessibleName(meaning);
    status->setToolTip(meaning);
    status->show();
}
