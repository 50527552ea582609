#pragma once
// The row of one alarm: its background takes the colour of the alarm's level, and its labels
// show the alarm's fields as the interface resource binds them.

#include "widget/ViewController.h"

#include <memory>

class AlarmFieldBinding;

class AlarmRowViewController : public ViewController {
    Q_OBJECT
public:
    explicit AlarmRowViewController(QObject* parent = nullptr);
    ~AlarmRowViewController() override;

    QString nibName() const override { return QStringLiteral("AlarmRowViewController"); }

    // Anything that is not an Alarm paints the row transparent and empties its labels.
    void setRepresentedObject(const ItemPtr& object) override;

protected:
    QWidget* loadView() override;

private:
    std::unique_ptr<AlarmFieldBinding> m_binding;
};
