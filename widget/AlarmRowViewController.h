#pragma once
// The row of one alarm: its background takes the colour of the alarm's level, and its labels
// show the alarm's fields as the interface resource binds them. The row of a feed exception (the
// service reporting a problem with the account) also offers to sign in: a button, or Return,
// Enter or Space while the row has the focus.

#include "widget/ViewController.h"

#include <memory>

class AlarmFieldBinding;
class QPushButton;

class AlarmRowViewController : public ViewController {
    Q_OBJECT
public:
    explicit AlarmRowViewController(QObject* parent = nullptr);
    ~AlarmRowViewController() override;

    QString nibName() const override { return QStringLiteral("AlarmRowViewController"); }

    // Anything that is not an Alarm paints the row transparent and empties its labels.
    void setRepresentedObject(const ItemPtr& object) override;

Q_SIGNALS:
    // The user asked for the sign-in form from the row of a feed exception.
    void signInRequested();

protected:
    QWidget* loadView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void offerSignIn(bool offered);

    std::unique_ptr<AlarmFieldBinding> m_binding;
    QPushButton* m_signInButton = nullptr; // the view's, made for the first feed exception shown
};
