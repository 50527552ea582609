#include "widget/AlarmRowViewController.h"

#include "ui_AlarmRowViewController.h"
#include "widget/AlarmFieldBinding.h"
#include "widget/AlarmListModel.h"
#include "widget/ColorView.h"
#include "widget/Helper.h"

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
}
