#pragma once
// The program's own string store: one INI file per program at
// $XDG_CONFIG_HOME/tovo/<application id>.conf, readable by its owner only (0600). The application
// id is QCoreApplication::applicationName() unless set here. A file that does not parse reads as
// empty and is replaced by a clean one on the next write.

#include <QMutex>
#include <QString>
#include <memory>
#include <optional>

class QSettings;

class UserDefaults {
public:
    // The store of the running program.
    static UserDefaults& standard();

    // Sets the application id the store is named after; call before the first use of standard().
    static void setApplicationId(const QString& applicationId);

    // A store on an explicit file (tests, tools).
    explicit UserDefaults(QString filePath);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    const QString& filePath() const { return m_filePath; }

    // The string under `key`, or nothing when the key is missing.
    std::optional<QString> string(const QString& key) const;
    void setString(const QString& key, const QString& value);
    // Writes pending changes to the file; false when that failed.
    bool synchronize();

private:
    void open();
    void prepareFile() const;

    QString m_filePath;
    mutable QMutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    bool m_corrupt = false;
};
