#include "widget/MessageViewController.h"

#include "ui_MessageViewController.h"
#include "widget/ColorView.h"
#include "widget/Helper.h"
#include "widget/ListEntry.h"

MessageViewController::MessageViewController() = default;

MessageViewController::~MessageViewController() = default;

QWidget* MessageViewController::loadView()
{
    auto* root = new ColorView;
    m_ui = std::make_unique<Ui::MessageViewController>();
    m_ui->setupUi(root);
    m_ui->textFieldLabel->setTextFormat(Qt::PlainText);
    return root;
}

void MessageViewController::setRepresentedObject(const QVariant& object)
{
    ViewController::setRepresentedObject(object);
    const ItemPtr item = ListEntry::item(object);
    if (!item) {
        return;
    }
    if (auto* colorView = qobject_cast<ColorView*>(view())) {
        colorView->setBackgroundColor(Helper::colorForKey(item->alarmType()));
    }
    m_ui->textFieldLabel->setText(Helper::titleForKey(item->alarmType()));
}
