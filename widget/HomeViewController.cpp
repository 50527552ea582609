#include "widget/HomeViewController.h"

#include "base/MainQueue.h"
#include "base/UnicodeText.h"
#include "core/Keychain.h"
#include "core/ServiceClient.h"
#include "desktop/UrlOpener.h"
#include "net/UrlText.h"
#include "ui_HomeViewController.h"
#include "widget/AlarmRowViewController.h"
#include "widget/LoginViewController.h"
#include "widget/MessageViewController.h"
#include "widget/TodayPanel.h"
#include "widget/WidgetListViewController.h"
#include "widget/WidgetLog.h"

#include <QTimer>

namespace {

// True when the list already shows exactly `alarms`, in order (by Alarm equality).
bool shows(const QList<ItemPtr>& entries, const AlarmList& alarms)
{
    if (entries.size() != alarms.size()) {
        return false;
    }
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const AlarmPtr shown = AlarmListModel::alarmOf(entries.at(index));
        const AlarmPtr& fetched = alarms.at(index);
        if (!shown || !fetched || !(*shown == *fetched)) {
            return false;
        }
    }
    return true;
}

} // namespace

HomeViewController::HomeViewController(ServiceClient& client, UrlOpener& urlOpener,
                                       WidgetDelays delays, QObject* parent)
    : PanelContent(parent)
    , m_client(client)
    , m_urlOpener(urlOpener)
    , m_delays(delays)
    , m_refreshTimer(new QTimer(this))
{
    m_refreshTimer->setInterval(m_delays.refreshInterval);
    connect(m_refreshTimer, &QTimer::timeout, this, &HomeViewController::refresh);
}

HomeViewController::~HomeViewController() = default;

QWidget* HomeViewController::loadView()
{
    auto* root = new QWidget;
    m_ui = std::make_unique<Ui::HomeViewController>();
    m_ui->setupUi(root);
    m_listViewController = new WidgetListViewController(m_ui->listViewController, this);
    m_listViewController->setDelegate(this);
    return root;
}

void HomeViewController::viewDidLoad()
{
    m_listViewController->setHasDividerLines(false);
    m_listViewController->setAccessibleName(tr("Alarms"));
}

void HomeViewController::viewWillAppear()
{
    PanelContent::viewWillAppear();
    view();
    const std::optional<QString> guid = Keychain(tokenStoreName).storedToken();
    qCDebug(lcWidget) << "list appears" << (guid ? "with a GUID" : "without a GUID");
    // A full interval from every appearance, which has just fetched.
    m_refreshTimer->start();
    if (!guid) {
        if (!m_loginAlreadyPresented) {
            m_loginAlreadyPresented = true;
            presentLogin();
        }
        return;
    }

    // Sent exactly as stored: a GUID that makes no valid URL is not handed on.
    const QString url = urlPrefix + *guid;
    const bool handedOver = UrlText::isValid(url) && m_urlOpener.openUrls({url}, tovoApplicationId);
    qCDebug(lcWidget) << "GUID" << (handedOver ? "handed to" : "not handed to")
                      << tovoApplicationId;
    // Rows already there take the focus now, new ones when they are in place.
    m_listViewController->focusRowsIfIdle();
    fetch(*guid);
}

void HomeViewController::viewDidDisappear()
{
    m_refreshTimer->stop();
}

void HomeViewController::refresh()
{
    // Only the list: the GUID was handed over when the panel appeared.
    if (const std::optional<QString> guid = Keychain(tokenStoreName).storedToken())
        fetch(*guid);
}

void HomeViewController::fetch(const QString& guid)
{
    if (m_fetching && UnicodeText::equal(*m_fetching, guid)) {
        qCDebug(lcWidget) << "a fetch still runs";
        return;
    }
    m_fetching = guid;
    const quint64 number = ++m_latestFetch;
    m_client.alarmFeed(guid, whileAlive([this, number](const Result<AlarmList>& result) {
                           // An answer for the account the panel showed before the latest one.
                           if (number != m_latestFetch)
                               return;
                           m_fetching.reset();
                           applyFeed(result);
                       }));
}

void HomeViewController::applyFeed(const Result<AlarmList>& result)
{
    Q_ASSERT(MainQueue::isMainThread());
    AlarmListModel* contents = m_listViewController->contents();
    if (!result.isSuccess()) {
        contents->setEntries({std::make_shared<Item>(AlarmType::Error)});
    } else if (result.value().isEmpty()) {
        contents->setEntries({std::make_shared<Item>(AlarmType::NoAlarms)});
    } else if (!shows(contents->entries(), result.value())) {
        // Any difference, not only in the first alarm, replaces the list: a resolved alarm
        // further down must not stay on screen in its old colour.
        contents->setEntries(QList<ItemPtr>(result.value().cbegin(), result.value().cend()));
    }
    qCDebug(lcWidget) << "list shows" << contents->rowCount() << "rows";
    Q_EMIT feedApplied();
}

void HomeViewController::widgetDidBeginEditing()
{
    if (m_editAlreadyPresented) {
        m_editAlreadyPresented = false;
        return;
    }
    m_editAlreadyPresented = true;
    QTimer::singleShot(m_delays.loginPresentation, this, &HomeViewController::presentLogin);
}

QMargins HomeViewController::widgetMarginInsetsForProposedMarginInsets(const QMargins& /*proposed*/)
{
    return QMargins(0, 0, 0, 0);
}

ViewController* HomeViewController::widgetListViewControllerForRow(WidgetListViewController* list,
                                                                   int row)
{
    if (AlarmListModel::alarmOf(list->contents()->entry(row))) {
        auto* alarmRow = new AlarmRowViewController;
        connect(alarmRow, &AlarmRowViewController::signInRequested, this,
                &HomeViewController::presentLoginForEditing);
        return alarmRow;
    }
    return new MessageViewController;
}

LoginViewController* HomeViewController::newLoginForm()
{
    return new LoginViewController(m_client, m_urlOpener, m_delays.storeAfterSignIn, this);
}

void HomeViewController::presentLogin()
{
    presentViewControllerInWidget(newLoginForm());
}

void HomeViewController::presentLoginForEditing()
{
    // Not the Edit button's every-other-use: the row's action always shows the form. A form
    // already shown covers the rows, so none is asked for twice.
    if (panel() && !panel()->presentedViewController()) {
        panel()->presentForEditing(newLoginForm());
    }
}
