#pragma once
// The program's icon in the panel's system tray with its menu. The menu is a list of
// StatusMenuItem that works with or without a tray; the tray icon (StatusNotifierItem or XEmbed,
// whatever Qt finds) shows it when the desktop has a tray, now or later.

#include <QIcon>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;
class StatusMenuItem;

class StatusItem : public QObject {
    Q_OBJECT
public:
    explicit StatusItem(QObject* parent = nullptr);
    ~StatusItem() override;

    // Appends `item` to the menu and takes it over.
    void addItem(StatusMenuItem* item);
    const QList<StatusMenuItem*>& items() const { return m_items; }

    // Images by name from the program's resources (":/images/<name>.svg"). A missing image
    // leaves the icon without it; the item still works.
    void setImage(const QString& name);
    void setAlternateImage(const QString& name);
    static QIcon imageNamed(const QString& name);

    // Whether the icon actually sits in a tray (false on a desktop without one).
    bool isInTray() const;
    QMenu* menu() const { return m_menu; }

private:
    void updateIcon();
    void sync(StatusMenuItem* item, QAction* action);

    QList<StatusMenuItem*> m_items;
    QMenu* m_menu;
    QSystemTrayIcon* m_trayIcon;
    QString m_image;
    QString m_alternateImage;
};
