#pragma once
// The program's icon in the panel's system tray with its menu. The menu is a list of
// TrayMenuItem that works with or without a tray; the tray icon (StatusNotifierItem or XEmbed,
// whatever Qt finds) shows it when the desktop has a tray, now or later.

#include <QIcon>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;
class TrayMenuItem;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // `toolTip` names the program.
    explicit TrayIcon(const QString& toolTip, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Appends `item` to the menu and takes it over.
    void addItem(TrayMenuItem* item);
    const QList<TrayMenuItem*>& items() const { return m_items; }

    // Images by name from the program's resources (":/images/<name>.svg"). A missing image
    // leaves the icon without it; the item still works.
    void setImage(const QString& name);
    void setAlternateImage(const QString& name);
    static QIcon imageIcon(const QString& name);

    QMenu* menu() const { return m_menu; }

private:
    void updateIcon();
    void sync(TrayMenuItem* item, QAction* action);

    QList<TrayMenuItem*> m_items;
    QMenu* m_menu;
    QSystemTrayIcon* m_trayIcon;
    QString m_image;
    QString m_alternateImage;
};
