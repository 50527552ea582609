#pragma once
// One entry of the tray icon's menu: title, action and a check state that can also be mixed.
// The model stays usable without any tray; TrayIcon mirrors it into a QMenu.

#include <QObject>
#include <QString>
#include <functional>

class TrayMenuItem : public QObject {
    Q_OBJECT
public:
    enum class State { Off, On, Mixed };

    TrayMenuItem(QString title, std::function<void()> action, QObject* parent = nullptr);
    static TrayMenuItem* separator(QObject* parent = nullptr);

    const QString& title() const { return m_title; }
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
    bool m_separator = false;
    bool m_hasState = false;
    State m_state = State::Off;
};
