#pragma once
// The token store: the account GUID kept in the program's settings. An empty GUID counts as no
// token, and storing "no token" changes nothing (storing the empty text is what clears it).

#include <QString>
#include <optional>

class Keychain {
public:
    // `store` names the caller ("tovo", "tovotoday"); every store of one program shares the token.
    explicit Keychain(QString store)
        : m_store(std::move(store))
    {}

    std::optional<QString> storedToken() const;
    // False when the token could not be written; the stored token is then the old one.
    bool storeToken(const std::optional<QString>& token);

private:
    QString m_store;
};
