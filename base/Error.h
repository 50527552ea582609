#pragma once
// An error as the rest of the program sees it: a domain, a code and user information, of which
// the localized description is what callers read. Transport errors and the client's own errors
// share this one type, so a caller can always tell where an error came from by its domain.

#include <QString>
#include <QVariantMap>

class Error {
public:
    static inline const QString descriptionKey = QStringLiteral("description");

    Error() = default;
    Error(QString domain, int code, QVariantMap userInfo)
        : m_domain(std::move(domain))
        , m_code(code)
        , m_userInfo(std::move(userInfo))
    {}
    // An error whose user information holds just its description.
    static Error withDescription(const QString& domain, int code, const QString& description)
    {
        return Error(domain, code, {{descriptionKey, description}});
    }

    const QString& domain() const { return m_domain; }
    int code() const { return m_code; }
    const QVariantMap& userInfo() const { return m_userInfo; }
    QString localizedDescription() const { return m_userInfo.value(descriptionKey).toString(); }

private:
    QString m_domain;
    int m_code = 0;
    QVariantMap m_userInfo;
};
