#pragma once
// One entry of the status item's menu: title, action, key equivalent and a check state that can
// also be mixed. The model stays usable without any tray; StatusItem mirrors it into a QMenu.

#include <QObject>
#include <QString>
#include <functional>

class StatusMenuItem : public QObject {
    Q_OBJECT
public:
    enum class State { Off, On, Mixed };

    StatusMenuItem(QString title, std::function<void()> action, QString keyEquivalent = {},
                   QObject* parent = nullptr);
    static StatusMenuItem* separator(QObject* parent = nullptr);

    const QString& title() const { return m_title; }
    const QString& keyEquivalent() const { return m_keyEquivalent; }
    bool isSeparator() const { return m_separator; }
    State state() const { return m_state; }
    // An item whose state was ever set shows a check box.
    bool hasState() const { return m_hasState; }
    void setState(State state);

    // What a click does.
    void trigger();

Q_SIGNALS:
    void changed();

private:
    QString m_title;
    std::function<void()> m_action;
    QString m_keyEquivalent;
    bool m_separator = false;
    bool m_hasState = false;
    State m_state = State::Off;
};
