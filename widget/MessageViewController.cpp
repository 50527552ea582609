#include "widget/MessageViewController.h"

#include "ui_MessageViewController.h"
#include "widget/ColorView.h"
#include "widget/Helper.h"

MessageViewController::MessageViewController(QObject* parent)
    : ViewController(parent)
{}

MessageViewController::~MessageViewController() = default;

QWidget* MessageViewController::loadView()
{
    auto* root = new ColorView;
    m_ui = std::make_unique<Ui::MessageViewController>();
    m_ui->setupUi(root);
    m_ui->textFieldLabel->setTextFormat(Qt::PlainText);
    return root;
}

void MessageViewController::setRepresentedObject(const ItemPtr& object)
{
    ViewController::setRepresentedObject(object);
    if (!object) {
        return;
    }
    if (auto* colorView = qobject_cast<ColorView*>(view())) {
        colorView->setBackgroundColor(Helper::colorForKey(object->alarmType()));
    }
    m_ui->textFieldLabel->setText(Helper::titleForKey(object->alarmType()));
    // The row is what screen readers meet in the list.
    view()->setAccessibleName(m_ui->textFieldLabel->text());
}
