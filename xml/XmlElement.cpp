#include "xml/XmlElement.h"

#include "base/UnicodeText.h"

#include <QByteArray>
#include <libxml/tree.h>

namespace {

std::string_view view(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool isAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

XmlElement nextElement(xmlNode* node, std::string_view name)
{
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && XmlElement(node).hasName(name))
            return XmlElement(node);
    }
    return XmlElement();
}

} // namespace

QString XmlElement::name() const
{
    if (!m_node)
        return {};
    if (m_node->ns && m_node->ns->prefix)
        return fromUtf8(view(m_node->ns->prefix)) + u':' + fromUtf8(view(m_node->name));
    return fromUtf8(view(m_node->name));
}

bool XmlElement::namesEqual(std::string_view qualified, std::string_view name)
{
    if (qualified == name)
        return true;
    // Byte-wise unequal ASCII names cannot be canonically equivalent.
    return !(isAscii(qualified) && isAscii(name)) &&
           UnicodeText::equal(fromUtf8(qualified), fromUtf8(name));
}

bool XmlElement::hasName(std::string_view name) const
{
    if (!m_node)
        return false;
    if (!m_node->ns || !m_node->ns->prefix)
        return namesEqual(view(m_node->name), name);
    const QByteArray qualified = this->name().toUtf8();
    return namesEqual(
        std::string_view(qualified.constData(), static_cast<std::size_t>(qualified.size())), name);
}

XmlElement XmlElement::firstChildElement(std::string_view name) const
{
    return m_node ? nextElement(m_node->children, name) : XmlElement();
}

XmlElement XmlElement::nextSiblingElement(std::string_view name) const
{
    return m_node ? nextElement(m_node->next, name) : XmlElement();
}
