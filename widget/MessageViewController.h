#pragma once
// The row of a message entry (no alarms, or the fetch failed): one line of text on the colour of
// the entry's type.

#include "widget/ViewController.h"

#include <memory>

namespace Ui {
class MessageViewController;
}

class MessageViewController : public ViewController {
    Q_OBJECT
public:
    explicit MessageViewController(QObject* parent = nullptr);
    ~MessageViewController() override;

    QString nibName() const override { return QStringLiteral("MessageViewController"); }

    // No entry at all changes nothing.
    void setRepresentedObject(const ItemPtr& object) override;

protected:
    QWidget* loadView() override;

private:
    std::unique_ptr<Ui::MessageViewController> m_ui;
};
