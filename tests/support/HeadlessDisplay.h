#pragma once
// A display of the test's own for programs with windows: an Xvfb server (X11), or weston's
// headless back end with its desktop shell and a keyboard the test types on (Wayland, through
// tovo-weston-keyboard). Ends with this object.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class HeadlessDisplay {
public:
    enum class Kind { X11, Wayland };

    explicit HeadlessDisplay(Kind kind);
    ~HeadlessDisplay();
    HeadlessDisplay(const HeadlessDisplay&) = delete;
    HeadlessDisplay& operator=(const HeadlessDisplay&) = delete;

    bool start();
    // Why start() failed.
    const QString& problem() const { return m_problem; }
    void addTo(QProcessEnvironment& environment) const;

    // Wayland only. The process whose window has the keyboard focus, 0 for none.
    qint64 keyboardFocus() const;
    // Types ASCII `text`, or presses one key by its xkb name ("Tab", "Return"); returns once the
    // compositor has sent the keys.
    bool type(const QString& text) const { return send(QStringLiteral("type ") + text); }
    bool key(const QString& name) const { return send(QStringLiteral("key ") + name); }
    // Wayland only. A PNG of the whole screen at `path`; false when none could be taken.
    bool screenshot(const QString& path) const;

private:
    bool send(const QString& line) const;
    QStringList events() const;

    Kind m_kind;
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_name;
    QString m_problem;
};
