#include "desktop/Alert.h"

#include <QMessageBox>
#include <QPushButton>

int Alert::runModal() const
{
    QMessageBox box;
    box.setWindowTitle(windowTitle);
    box.setText(messageText);
    box.setInformativeText(informativeText);
    switch (style) {
    case Style::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Style::Informational:
        box.setIcon(QMessageBox::Information);
        break;
    case Style::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    QList<QAbstractButton*> buttons;
    for (const QString& title : buttonTitles)
        buttons.append(box.addButton(title, QMessageBox::AcceptRole));
    if (buttons.isEmpty())
        buttons.append(box.addButton(QMessageBox::Ok));
    // Escape and the window's close button mean the first button, as with one button alone.
    box.setEscapeButton(buttons.constFirst());
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}
