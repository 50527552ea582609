#include "widget/AlarmFieldBinding.h"

#include "core/Alarm.h"

#include <QLabel>
#include <QStringList>

AlarmFieldBinding::AlarmFieldBinding(QWidget* root)
    : m_root(root)
{
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (label->property(fieldProperty).isValid()) {
            // Feed texts come from the network: never let them be read as markup.
            label->setTextFormat(Qt::PlainText);
            m_labels.append(label);
        }
    }
}

void AlarmFieldBinding::show(const Alarm* alarm)
{
    QStringList spoken;
    for (const QPointer<QLabel>& label : std::as_const(m_labels)) {
        if (!label) {
            continue;
        }
        const QByteArray name = label->property(fieldProperty).toByteArray();
        const QString text = alarm ? alarm->field(name.constData()) : QString();
        label->setText(text);
        if (!text.isEmpty()) {
            spoken.append(text);
        }
    }
    if (m_root) {
        m_root->setAccessibleName(spoken.join(QStringLiteral(", ")));
    }
}
