#include "XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <limits>

namespace {

void ignoreGenericError(void*, const char*, ...) {}
void ignoreStructuredError(void*, xmlErrorPtr) {}

} // namespace

XmlDocument::XmlDocument(QByteArrayView bytes)
{
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    Q_UNUSED(initialised);
    if (bytes.size() > std::numeric_limits<int>::max())
        return;
    // libxml2 keeps its error handlers per thread; some errors (encoding conversion) bypass the
    // NOERROR option, so both handlers are silenced on the parsing thread.
    xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
    xmlSetStructuredErrorFunc(nullptr, ignoreStructuredError);
    m_doc.reset(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
}

XmlElement XmlDocument::rootElement() const
{
    return XmlElement(m_doc ? xmlDocGetRootElement(m_doc.get()) : nullptr);
}

void XmlDocument::Free::operator()(_xmlDoc* doc) const
{
    xmlFreeDoc(doc);
}
