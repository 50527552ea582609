#include "xml/XmlElement.h"

#include "base/UnicodeText.h"
#include "base/Utf8.h"

#include <QByteArray>
#include <libxml/tree.h>

namespace {

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
        return Utf8::toQString(Utf8::view(m_node->ns->prefix)) + u':' +
               Utf8::toQString(Utf8::view(m_node->name));
    return Utf8::toQString(Utf8::view(m_node->name));
}

bool XmlElement::namesEqual(std::string_view qualified, std::string_view name)
{
    if (qualified == name)
        return true;
    // Byte-wise unequal ASCII names cannot be canonically equivalent.
    return !(Utf8::isAscii(qualified) && Utf8::isAscii(name)) &&
           UnicodeText::equal(Utf8::toQString(qualified), Utf8::toQString(name));
}

bool XmlElement::hasName(std::string_view name) const
{
    if (!m_node)
        return false;
    if (!m_node->ns || !m_node->ns->prefix)
        return namesEqual(Utf8::view(m_node->name), name);
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
