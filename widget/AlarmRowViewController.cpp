#include "widget/AlarmRowViewController.h"

#include "core/AlarmFeedParser.h"
#include "ui_AlarmRowViewController.h"
#include "widget/AlarmFieldBinding.h"
#include "widget/AlarmListModel.h"
#include "widget/ColorView.h"
#include "widget/Helper.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

AlarmRowViewController::AlarmRowViewController(QObject* parent)
    : ViewController(parent)
{}

AlarmRowViewController::~AlarmRowViewController() = default;

QWidget* AlarmRowViewController::loadView()
{
    auto* root = new ColorView;
    Ui::AlarmRowViewController().setupUi(root);
    m_binding = std::make_unique<AlarmFieldBinding>(root);
    return root;
}

void AlarmRowViewController::setRepresentedObject(const ItemPtr& object)
{
    ViewController::setRepresentedObject(object);
    const AlarmPtr alarm = AlarmListModel::alarmOf(object);
    const QColor color =
        Helper::colorForKey(alarm ? std::optional(alarm->alarmLevel()) : std::nullopt);
    if (auto* colorView = qobject_cast<ColorView*>(view())) {
        colorView->setBackgroundColor(color);
    }
    m_binding->show(alarm.get());
    offerSignIn(alarm && AlarmFeedParser::isFeedException(*alarm));
}

void AlarmRowViewController::offerSignIn(bool offered)
{
    // Only a row that offers it makes the button: ordinary rows stay as cheap as they were.
    if (!offered && !m_signInButton) {
        return;
    }
    if (!m_signInButton) {
        auto* button = new QPushButton(tr("Sign in…"));
        button->setObjectName(QStringLiteral("signInButton"));
        button->setAccessibleDescription(tr("Open the sign-in form"));
        // The list is one stop of Tab: the row's keys press the button instead.
        button->setFocusPolicy(Qt::NoFocus);
        // The button paints its own background: its text keeps the style's colour, not the one
        // that contrasts with the row.
        QPalette own;
        own.setColor(QPalette::ButtonText, own.color(QPalette::ButtonText));
        button->setPalette(own);
        static_cast<QBoxLayout*>(view()->layout())->addWidget(button, 0, Qt::AlignLeft);
        connect(button, &QPushButton::clicked, this, &AlarmRowViewController::signInRequested);
        view()->installEventFilter(this);
        m_signInButton = button;
    }
    m_signInButton->setVisible(offered);
    view()->setAccessibleDescription(offered ? tr("Press Enter to sign in") : QString());
}

bool AlarmRowViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_signInButton && !m_signInButton->isHidden()) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            m_signInButton->click();
            return true;
        default:
            break;
        }
    }
    return ViewController::eventFilter(watched, event);
}
