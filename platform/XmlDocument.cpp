#include "XmlDocument.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>
#include <limits>
#include <string>

namespace {

void ignoreGenericError(void*, const char*, ...) {}
void ignoreStructuredError(void*, xmlErrorPtr) {}

std::string_view view(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// Sits between the parser and libxml2's own tree builder and passes on only what the filter
// keeps. Skipped elements are counted so that their end tags are skipped as well. The content of
// an entity, parsed on its first use in a context of its own, always passes: it is kept with the
// entity's declaration and may be referenced again where the filter keeps it.
class FilteringBuilder {
public:
    explicit FilteringBuilder(XmlDocument::Filter filter)
        : m_filter(filter)
    {}

    void install(xmlParserCtxtPtr context)
    {
        context->_private = this;
        xmlSAXHandler& sax = *context->sax;
        sax.startElementNs = startElement;
        sax.endElementNs = endElement;
        sax.characters = characters;
        sax.ignorableWhitespace = characters;
        sax.cdataBlock = cdataBlock;
        sax.reference = reference;
        sax.comment = nullptr;
        sax.processingInstruction = nullptr;
    }

private:
    // The builder filtering this context, or none inside an entity's content.
    static FilteringBuilder* of(void* context)
    {
        const auto* parser = static_cast<xmlParserCtxtPtr>(context);
        return parser->depth == 0 ? static_cast<FilteringBuilder*>(parser->_private) : nullptr;
    }
    static XmlElement parentOf(void* context)
    {
        return XmlElement(static_cast<xmlParserCtxtPtr>(context)->node);
    }
    static bool keepsText(void* context)
    {
        const FilteringBuilder* self = of(context);
        return !self ||
               (self->m_skipping == 0 && self->m_filter(parentOf(context), self->m_depth, {}));
    }

    static void startElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                             int attributeCount, int defaultedCount, const xmlChar** attributes)
    {
        FilteringBuilder* self = of(context);
        if (!self) {
            xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces,
                                  attributeCount, defaultedCount, attributes);
            return;
        }
        if (self->m_skipping > 0) {
            ++self->m_skipping;
            return;
        }
        std::string_view qualified = view(localName);
        if (prefix) {
            self->m_name.assign(view(prefix)).append(1, ':').append(view(localName));
            qualified = self->m_name;
        }
        if (!self->m_filter(parentOf(context), self->m_depth, qualified)) {
            self->m_skipping = 1;
            return;
        }
        ++self->m_depth;
        xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces, 0, 0,
                              nullptr);
    }
    static void endElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                           const xmlChar* uri)
    {
        if (FilteringBuilder* self = of(context)) {
            if (self->m_skipping > 0) {
                --self->m_skipping;
                return;
            }
            --self->m_depth;
        }
        xmlSAX2EndElementNs(context, localName, prefix, uri);
    }
    static void characters(void* context, const xmlChar* text, int length)
    {
        if (keepsText(context))
            xmlSAX2Characters(context, text, length);
    }
    static void cdataBlock(void* context, const xmlChar* text, int length)
    {
        if (keepsText(context))
            xmlSAX2CDataBlock(context, text, length);
    }
    static void reference(void* context, const xmlChar* name)
    {
        if (keepsText(context))
            xmlSAX2Reference(context, name);
    }

    XmlDocument::Filter m_filter;
    int m_depth = 0;    // of the next element to be kept
    int m_skipping = 0; // open elements inside a skipped one, itself included
    std::string m_name;
};

} // namespace

XmlDocument::XmlDocument(QByteArrayView bytes, Filter filter)
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

    // xmlReadMemory, with room for the filter.
    xmlParserCtxtPtr context =
        xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
    if (!context)
        return;
    xmlCtxtUseOptions(context, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                   XML_PARSE_COMPACT);
    FilteringBuilder builder(filter);
    if (filter)
        builder.install(context);
    xmlParseDocument(context);
    if (context->wellFormed)
        m_doc.reset(context->myDoc);
    else
        xmlFreeDoc(context->myDoc);
    context->myDoc = nullptr;
    xmlFreeParserCtxt(context);
}

XmlElement XmlDocument::rootElement() const
{
    return XmlElement(m_doc ? xmlDocGetRootElement(m_doc.get()) : nullptr);
}

void XmlDocument::Free::operator()(_xmlDoc* doc) const
{
    xmlFreeDoc(doc);
}
