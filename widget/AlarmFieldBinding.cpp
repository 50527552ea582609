#include "widget/AlarmFieldBinding.h"

#include "core/Alarm.h"
#include "desktop/NotificationText.h"

#include <QLabel>
#include <QStringList>

namespace {

// A text from the feed under the notifications' rules (no control characters, no direction
// overrides, a bounded length), its line feeds as blanks: a row gives every text its own layout.
QString rowText(const QString& field, qsizetype maxLength)
{
    return NotificationText::displayed(field, maxLength).replace(u'\n', u' ');
}

} // namespace

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
        const QString text = alarm ? rowText(alarm->field(name.constData()),
                                             label->wordWrap() ? NotificationText::maxBodyLength
                                                               : NotificationText::maxSummaryLength)
                                   : QString();
        label->setText(text);
        if (!text.isEmpty()) {
            spoken.append(text);
        }
    }
    if (m_root) {
        m_root->setAccessibleName(spoken.join(QStringLiteral(", ")));
    }
}
