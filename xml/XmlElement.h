#pragma once
// A non-owning view of one element of an XmlDocument; valid while the document lives, which also
// reads its text. Element names are compared by qualified name ("prefix:local"), canonically
// equivalent and case-sensitive.

#include <QString>
#include <string_view>

struct _xmlNode;

class XmlElement {
public:
    XmlElement() = default;
    explicit XmlElement(_xmlNode* node)
        : m_node(node)
    {}

    bool isNull() const { return m_node == nullptr; }

    QString name() const;
    // `name` is UTF-8.
    bool hasName(std::string_view name) const;

    // Whether the qualified element name `qualified` (UTF-8) is `name`.
    static bool namesEqual(std::string_view qualified, std::string_view name);

    // The first child element called `name`, or a null element.
    XmlElement firstChildElement(std::string_view name) const;
    // The next following sibling element called `name`, or a null element.
    XmlElement nextSiblingElement(std::string_view name) const;

private:
    friend class XmlDocument; // reads the text, against its budget
    _xmlNode* m_node = nullptr;
};
