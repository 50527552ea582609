#include "widget/HomeViewController.h"

#include "base/MainQueue.h"
#include "core/APIClient.h"
#include "core/Keychain.h"
#include "desktop/UrlOpener.h"
#include "net/UrlText.h"
#include "ui_HomeViewController.h"
#include "widget/AlarmRowViewController.h"
#include "widget/ListEntry.h"
#include "widget/LoginViewController.h"
#include "widget/MessageViewController.h"
#include "widget/WidgetListViewController.h"
#include "widget/WidgetLog.h"

namespace {

// True when the list already shows exactly `alarms`, in order (by Alarm equality).
bool shows(const QVariantList& contents, const AlarmList& alarms)
{
    if (contents.size() != alarms.size()) {
        return false;
    }
    for (qsizetype index = 0; index < contents.size(); ++index) {
        const AlarmPtr shown = ListEntry::alarm(contents.at(index));
        const AlarmPtr& fetched = alarms.at(index);
        if (!shown || !fetched || !(*shown == *fetched)) {
            return false;
        }
    }
    return true;
}

QVariantList entries(const AlarmList& alarms)
{
    QVariantList list;
    list.reserve(alarms.size());
    for (const AlarmPtr& alarm : alarms) {
        list.append(ListEntry::wrap(alarm));
    }
    return list;
}

} // namespace

HomeViewController::HomeViewController(WidgetDelays delays)
    : m_delays(delays)
{}

HomeViewController::~HomeViewController() = default;

QWidget* HomeViewController::loadView()
{
    auto* root = new QWidget;
    m_ui = std::make_unique<Ui::HomeViewController>();
    m_ui->setupUi(root);
    m_listViewController = std::make_shared<WidgetListViewController>(m_ui->listViewController);
    m_listViewController->setDelegate(this);
    return root;
}

void HomeViewController::viewDidLoad()
{
    m_listViewController->setHasDividerLines(false);
}

void HomeViewController::viewWillAppear()
{
    ViewController::viewWillAppear();
    view();
    const std::optional<QString> guid = Keychain(tokenStoreName).storedToken();
    qCDebug(lcWidget) << "list appears" << (guid ? "with a GUID" : "without a GUID");
    if (!guid) {
        if (!m_loginAlreadyPresented) {
            m_loginAlreadyPresented = true;
            presentLogin();
        }
        return;
    }

    // Sent exactly as stored: a GUID that makes no valid URL is not handed on.
    const QString url = urlPrefix + *guid;
    const bool handedOver =
        UrlText::isValid(url) && UrlOpener::shared().openUrls({url}, tovoApplicationId);
    qCDebug(lcWidget) << "GUID" << (handedOver ? "handed to" : "not handed to")
                      << tovoApplicationId;
    const std::shared_ptr<HomeViewController> self = sharedFrom(this);
    APIClient::sharedClient().alarmFeed(
        *guid, [self](const Result<AlarmList>& result) { self->applyFeed(result); });
}

void HomeViewController::applyFeed(const Result<AlarmList>& result)
{
    Q_ASSERT(MainQueue::isMainThread());
    if (!result.isSuccess()) {
        m_listViewController->setContents(
            {ListEntry::wrap(std::make_shared<Item>(AlarmType::Error))});
    } else if (result.value().isEmpty()) {
        m_listViewController->setContents(
            {ListEntry::wrap(std::make_shared<Item>(AlarmType::NoAlarms))});
    } else if (!shows(m_listViewController->contents(), result.value())) {
        // Any difference, not only in the first alarm, replaces the list: a resolved alarm
        // further down must not stay on screen in its old colour.
        m_listViewController->setContents(entries(result.value()));
    }
    qCDebug(lcWidget) << "list shows" << m_listViewController->contents().size() << "rows";
    Q_EMIT feedApplied();
}

void HomeViewController::widgetDidBeginEditing()
{
    if (m_editAlreadyPresented) {
        m_editAlreadyPresented = false;
        return;
    }
    m_editAlreadyPresented = true;
    const std::shared_ptr<HomeViewController> self = sharedFrom(this);
    MainQueue::asyncAfter(m_delays.loginPresentation, [self] { self->presentLogin(); });
}

QMargins HomeViewController::widgetMarginInsetsForProposedMarginInsets(const QMargins& /*proposed*/)
{
    return QMargins(0, 0, 0, 0);
}

std::shared_ptr<ViewController>
HomeViewController::widgetListViewControllerForRow(WidgetListViewController* list, int row)
{
    if (ListEntry::alarm(list->contents().value(row))) {
        return std::make_shared<AlarmRowViewController>();
    }
    return std::make_shared<MessageViewController>();
}

void HomeViewController::presentLogin()
{
    presentViewControllerInWidget(std::make_shared<LoginViewController>(m_delays.storeAfterSignIn));
}
