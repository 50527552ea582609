#include "widget/LoginViewController.h"

#include "core/Keychain.h"
#include "core/ServiceClient.h"
#include "core/ServiceEndpoints.h"
#include "desktop/UrlOpener.h"
#include "ui_LoginViewController.h"
#include "widget/StatusImage.h"
#include "widget/WidgetLog.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QTimer>

namespace {

constexpr int statusImageSize = 20;

bool isReturn(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

LoginViewController::LoginViewController(ServiceClient& client, UrlOpener& urlOpener,
                                         std::chrono::milliseconds storeDelay, QObject* parent)
    : ViewController(parent)
    , m_client(client)
    , m_urlOpener(urlOpener)
    , m_storeDelay(storeDelay)
{}

LoginViewController::~LoginViewController() = default;

QWidget* LoginViewController::loadView()
{
    auto* root = new QWidget;
    m_ui = std::make_unique<Ui::LoginViewController>();
    m_ui->setupUi(root);
    connect(m_ui->buttonAuthenticate, &QPushButton::clicked, this,
            &LoginViewController::buttonAuthenticateTouchUpInside);
    connect(m_ui->buttonCancel, &QPushButton::clicked, this,
            &LoginViewController::buttonCancelTouchUpInside);
    connect(m_ui->buttonLink, &QPushButton::clicked, this,
            &LoginViewController::buttonLinkTouchUpInside);
    for (QLineEdit* field : {m_ui->textFieldEmail, m_ui->textFieldPassword}) {
        connect(field, &QLineEdit::returnPressed, this, &LoginViewController::textFieldEnterAction);
    }
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
    // Return is the form's key equivalent: wherever the focus is in the form it presses the
    // sign-in button, except in a text field, which keeps it for its own action.
    m_ui->buttonAuthenticate->setDefault(true);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut =
            new QShortcut(key, view(), nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, m_ui->buttonAuthenticate, &QPushButton::click);
    }
    m_ui->textFieldEmail->installEventFilter(this);
    m_ui->textFieldPassword->installEventFilter(this);
    m_ui->progressIndicator->hide();
    m_ui->textAuthenticationStatus->hide();
}

bool LoginViewController::eventFilter(QObject* watched, QEvent* event)
{
    // Accepting the override keeps the shortcut from taking Return from a text field.
    if (event->type() == QEvent::ShortcutOverride && isReturn(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return ViewController::eventFilter(watched, event);
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
    m_urlOpener.openUrl(ServiceEndpoints::webBase());
}

void LoginViewController::signIn()
{
    view();
    m_ui->progressIndicator->show();
    m_ui->imageViewAuthenticationStatus->hide();
    m_ui->textAuthenticationStatus->hide();
    // The fields give up the focus to the form, where Return still signs in.
    view()->setFocus(Qt::OtherFocusReason);

    m_client.authenticate(m_ui->textFieldEmail->text(), m_ui->textFieldPassword->text(),
                          whileAlive([this](const Result<QString>& result) {
                              if (result.isSuccess()) {
                                  setToken(result.value());
                                  loginSuccess(QStringLiteral("Login successful"));
                              } else {
                                  loginFailed(result.error().localizedDescription());
                              }
                          }));
}

void LoginViewController::loginSuccess(const QString& /*message*/)
{
    showStatus(true, tr("Signed in"));
    // Also after a cancel: the form waits for this before it goes.
    QTimer::singleShot(m_storeDelay, this, whileAlive([this] {
                           // A GUID that could not be kept is no sign-in: the form stays for
                           // another attempt.
                           const bool stored = Keychain(tokenStoreName).storeToken(token());
                           qCDebug(lcWidget)
                               << "signed in; GUID" << (stored ? "stored" : "not stored");
                           if (!stored) {
                               showFailure(tr("Signed in, but the account could not be saved "
                                              "on this computer."));
                               return;
                           }
                           dismissViewController(this);
                       }));
}

void LoginViewController::loginFailed(const QString& /*message*/)
{
    // Never `message`: it may be the server's text.
    showFailure(tr("Sign-in failed. Check the e-mail address and password."));
}

void LoginViewController::showFailure(const QString& text)
{
    qCDebug(lcWidget) << "sign-in failed";
    showStatus(false, text);
    if (isViewLoaded()) {
        // Ready for the corrected password (and Return).
        m_ui->textFieldPassword->setFocus(Qt::OtherFocusReason);
        m_ui->textFieldPassword->selectAll();
    }
}

void LoginViewController::showStatus(bool signedIn, const QString& text)
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
    status->setAccessibleName(text);
    status->setToolTip(text);
    status->show();
    // Said in words, not by colour alone. A notification to screen readers, which announce it
    // when it appears: so it appears anew with every outcome.
    QLabel* words = m_ui->textAuthenticationStatus;
    words->hide();
    words->setText(text);
    words->setAccessibleName(text);
    words->show();
}
