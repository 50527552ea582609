#include "widget/AlarmFieldBinding.h"

#include "core/Alarm.h"
#include "desktop/NotificationText.h"
#include "widget/Helper.h"

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
    QString level;
    QStringList spoken;
    for (const QPointer<QLabel>& label : std::as_const(m_labels)) {
        if (!label) {
            continue;
        }
        const QByteArray name = label->property(fieldProperty).toByteArray();
        QString text = alarm ? rowText(alarm->field(name.constData()),
                                       label->wordWrap() ? NotificationText::maxBodyLength
                                                         : NotificationText::maxSummaryLength)
                             : QString();
        if (name == levelField) {
            level = text = Helper::levelTitle(text);
        } else if (!text.isEmpty()) {
            spoken.append(text);
        }
        label->setText(text);
    }
    if (m_root) {
        // What matters first: "Critical: db01, Disk /var, 98% of the disk used".
        const QString rest = spoken.join(QStringLiteral(", "));
        m_root->setAccessibleName(
            level.isEmpty() || rest.isEmpty() ? level + rest : level + QStringLiteral(": ") + rest);
    }
}
