#pragma once
// A display of the test's own for programs with windows: an Xvfb server (X11), or weston's
// headless back end with its desktop shell (Wayland). Ends with this object.

#include <QImage>
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

    // Wayland only. The whole screen, also kept as `fileName` in $TOVO_TEST_OUTPUT_DIR; a null
    // image when none could be taken.
    QImage screenshot(const QString& fileName) const;

private:
    Kind m_kind;
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_name;
    QString m_problem;
};
