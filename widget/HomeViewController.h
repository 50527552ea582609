#pragma once
// The widget's root controller: at every appearance it reads the account GUID, hands it to the
// tray application and loads the alarm list (or offers the login form, once, when there is no
// GUID); while the panel stays on screen it loads the list again at every refresh interval.
// Supplies the list's row controllers and answers the panel's Edit button, and the sign-in that a
// feed exception's row offers.

#include "Identity.h"
#include "core/Alarm.h"
#include "core/Result.h"
#include "widget/PanelContent.h"
#include "widget/WidgetDelays.h"
#include "widget/WidgetListViewDelegate.h"

#include <memory>
#include <optional>

class QTimer;
namespace Ui {
class HomeViewController;
}
class LoginViewController;
class ServiceClient;
class UrlOpener;
class WidgetListViewController;

class HomeViewController : public PanelContent, public WidgetListViewDelegate {
    Q_OBJECT
public:
    static inline const QString tokenStoreName = QStringLiteral("tovotoday");
    static inline const QString urlPrefix = Identity::urlScheme + QStringLiteral("://");
    static inline const QString tovoApplicationId = Identity::trayId;

    // Fetches through `client` and hands the GUID on through `urlOpener`; both outlive it.
    HomeViewController(ServiceClient& client, UrlOpener& urlOpener, WidgetDelays delays = {},
                       QObject* parent = nullptr);
    ~HomeViewController() override;

    QString nibName() const override { return QStringLiteral("HomeViewController"); }

    WidgetListViewController* listViewController() const { return m_listViewController; }
    bool loginAlreadyPresented() const { return m_loginAlreadyPresented; }
    bool editAlreadyPresented() const { return m_editAlreadyPresented; }

    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidDisappear() override;

    bool widgetAllowsEditing() const override { return m_widgetAllowsEditing; }
    // Every other use presents the login form, after a short delay.
    void widgetDidBeginEditing() override;
    void widgetDidEndEditing() override {}
    QMargins widgetMarginInsetsForProposedMarginInsets(const QMargins& proposed) override;

    // An AlarmRowViewController for an Alarm, a MessageViewController for anything else.
    ViewController* widgetListViewControllerForRow(WidgetListViewController* list,
                                                   int row) override;

Q_SIGNALS:
    // A feed fetch completed and its result was applied (which may have left the list as it was).
    void feedApplied();

protected:
    QWidget* loadView() override;

private:
    // Fetches the list of `guid` unless a fetch for it is still running.
    void fetch(const QString& guid);
    void refresh();
    void applyFeed(const Result<AlarmList>& result);
    void presentLogin();
    // The sign-in form at once, as Edit shows it, asked for from the row of a feed exception.
    void presentLoginForEditing();
    LoginViewController* newLoginForm();

    ServiceClient& m_client;
    UrlOpener& m_urlOpener;
    std::unique_ptr<Ui::HomeViewController> m_ui;
    WidgetListViewController* m_listViewController = nullptr;
    WidgetDelays m_delays;
    QTimer* m_refreshTimer;
    // The GUID of the latest fetch while it runs; the answer of an older one is stale.
    std::optional<QString> m_fetching;
    quint64 m_latestFetch = 0;
    bool m_loginAlreadyPresented = false;
    bool m_editAlreadyPresented = false;
    bool m_widgetAllowsEditing = true;
};
