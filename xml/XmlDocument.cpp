#include "xml/XmlDocument.h"

#include "base/Utf8.h"
#include "xml/XmlLog.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>
#include <limits>
#include <string>
#include <vector>

namespace {

void ignoreGenericError(void*, const char*, ...) {}
void ignoreStructuredError(void*, xmlErrorPtr) {}

// libxml2 keeps its error handlers per thread; some errors (encoding conversion) bypass the
// NOERROR option, so both handlers are silenced on the parsing thread.
void prepareParser()
{
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    Q_UNUSED(initialised);
    xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
    xmlSetStructuredErrorFunc(nullptr, ignoreStructuredError);
}

constexpr int parseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;

} // namespace

// Sits between the parser and libxml2's own tree builder and passes on only what the filter
// keeps. Skipped elements are counted so that their end tags are skipped as well. The content of
// an entity, parsed on its first use in a context of its own, always passes: it is kept with the
// entity's declaration and may be referenced again where the filter keeps it.
class XmlDocument::Builder {
public:
    Builder(XmlDocument::Filter filter, XmlDocument::Closed closed)
        : m_filter(filter)
        , m_closed(std::move(closed))
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
    static Builder* of(void* context)
    {
        const auto* parser = static_cast<xmlParserCtxtPtr>(context);
        return parser->depth == 0 ? static_cast<Builder*>(parser->_private) : nullptr;
    }
    static XmlElement parentOf(void* context)
    {
        return XmlElement(static_cast<xmlParserCtxtPtr>(context)->node);
    }
    static bool keepsText(void* context)
    {
        const Builder* self = of(context);
        return !self ||
               (self->m_skipping == 0 && self->m_filter(parentOf(context), self->m_depth, {}));
    }

    static void startElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                             int attributeCount, int defaultedCount, const xmlChar** attributes)
    {
        Builder* self = of(context);
        if (!self) {
            xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces,
                                  attributeCount, defaultedCount, attributes);
            return;
        }
        if (self->m_skipping > 0) {
            ++self->m_skipping;
            return;
        }
        std::string_view qualified = Utf8::view(localName);
        if (prefix) {
            self->m_name.assign(Utf8::view(prefix)).append(1, ':').append(Utf8::view(localName));
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
        Builder* self = of(context);
        if (!self) {
            xmlSAX2EndElementNs(context, localName, prefix, uri);
            return;
        }
        if (self->m_skipping > 0) {
            --self->m_skipping;
            return;
        }
        --self->m_depth;
        xmlNodePtr element = static_cast<xmlParserCtxtPtr>(context)->node;
        xmlSAX2EndElementNs(context, localName, prefix, uri);
        if (element)
            self->m_closed(XmlElement(element), self->m_depth);
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
    XmlDocument::Closed m_closed;
    int m_depth = 0;    // of the next element to be kept
    int m_skipping = 0; // open elements inside a skipped one, itself included
    std::string m_name;
};

namespace {

// Appends the character data of `node` and its following siblings, descending into elements
// and into the content of referenced entities, while `budget` lasts. Every node costs one
// besides its bytes, so that references to empty entities cannot multiply either. Entities
// nest elements afresh at every level, so the walk keeps its own stack.
bool appendText(const xmlNode* node, std::string& out, qint64& budget)
{
    std::vector<const xmlNode*> resumeAt;
    while (node || !resumeAt.empty()) {
        if (!node) {
            node = resumeAt.back();
            resumeAt.pop_back();
            continue;
        }
        const bool isText = node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
        const std::string_view text = isText ? Utf8::view(node->content) : std::string_view();
        budget -= 1 + static_cast<qint64>(text.size());
        if (budget < 0)
            return false;
        out.append(text);
        const xmlNode* inner = nullptr;
        if (node->type == XML_ELEMENT_NODE) {
            inner = node->children;
        } else if (node->type == XML_ENTITY_REF_NODE && node->children &&
                   node->children->type == XML_ENTITY_DECL) {
            // The tree links a reference to its entity's declaration, which holds the content.
            inner = reinterpret_cast<const xmlEntity*>(node->children)->children;
        }
        if (inner) {
            resumeAt.push_back(node->next);
            node = inner;
        } else {
            node = node->next;
        }
    }
    return true;
}

} // namespace

XmlDocument::XmlDocument(QByteArrayView bytes, qint64 textBudget)
    : m_textBudget(textBudget)
{
    if (bytes.size() > std::numeric_limits<int>::max())
        return;
    prepareParser();
    // xmlReadMemory, with the document taken only when well-formed.
    xmlParserCtxtPtr context =
        xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
    if (!context)
        return;
    xmlCtxtUseOptions(context, parseOptions);
    xmlParseDocument(context);
    qCDebug(lcXml) << "parsed" << bytes.size()
                   << "bytes:" << (context->wellFormed ? "well-formed" : "malformed");
    takeDocument(context);
    xmlFreeParserCtxt(context);
}

XmlDocument::XmlDocument(qint64 textBudget, Filter filter, Closed closed)
    : m_textBudget(textBudget)
    , m_builder(std::make_unique<Builder>(filter, std::move(closed)))
{}

XmlDocument::~XmlDocument() = default;

void XmlDocument::append(QByteArrayView bytes)
{
    if (!m_builder || (m_context && !m_context->wellFormed))
        return; // finished, or already malformed: the rest changes nothing
    prepareParser();
    // The parser detects the encoding from the first four bytes it is created with.
    if (!m_context) {
        m_head.append(bytes);
        if (m_head.size() < 4)
            return;
        m_context.reset(xmlCreatePushParserCtxt(nullptr, nullptr, m_head.constData(), 4, nullptr));
        if (!m_context) {
            m_builder.reset();
            return;
        }
        xmlCtxtUseOptions(m_context.get(), parseOptions);
        m_builder->install(m_context.get());
        bytes = QByteArrayView(m_head).sliced(4);
    }
    // Pieces of at most 1 MiB: libxml2 counts a chunk's size in an int.
    for (qsizetype at = 0; at < bytes.size() && m_context->wellFormed; at += 1 << 20) {
        const QByteArrayView piece =
            bytes.sliced(at, std::min<qsizetype>(bytes.size() - at, 1 << 20));
        xmlParseChunk(m_context.get(), piece.data(), static_cast<int>(piece.size()), 0);
    }
    m_head.clear();
}

void XmlDocument::finish()
{
    if (!m_builder)
        return;
    if (!m_context && !m_head.isEmpty()) {
        // Fewer than four bytes in all: too short for a document, parsed all the same.
        m_head.append(QByteArray(4 - m_head.size(), ' '));
        append({});
    }
    if (m_context) {
        xmlParseChunk(m_context.get(), nullptr, 0, 1);
        qCDebug(lcXml) << "parsed a document in pieces:"
                       << (m_context->wellFormed ? "well-formed" : "malformed");
        takeDocument(m_context.get());
        m_context.reset();
    }
    m_builder.reset();
}

void XmlDocument::takeDocument(_xmlParserCtxt* context)
{
    if (context->wellFormed)
        m_doc.reset(context->myDoc);
    else
        xmlFreeDoc(context->myDoc);
    context->myDoc = nullptr;
}

void XmlDocument::remove(XmlElement element)
{
    if (!element.m_node)
        return;
    xmlUnlinkNode(element.m_node);
    xmlFreeNode(element.m_node);
}

bool XmlDocument::isValid() const
{
    if (m_textBudget < 0)
        return false;
    return m_context ? m_context->wellFormed != 0 : m_doc != nullptr;
}

XmlElement XmlDocument::rootElement() const
{
    return XmlElement(m_doc ? xmlDocGetRootElement(m_doc.get()) : nullptr);
}

void XmlDocument::Free::operator()(_xmlDoc* doc) const
{
    xmlFreeDoc(doc);
}

void XmlDocument::Free::operator()(_xmlParserCtxt* context) const
{
    xmlFreeDoc(context->myDoc);
    xmlFreeParserCtxt(context);
}

QString XmlDocument::text(XmlElement element)
{
    std::string buffer;
    const std::string_view text = utf8Text(element, buffer);
    return Utf8::toQString(text);
}

std::string_view XmlDocument::utf8Text(XmlElement element, std::string& buffer)
{
    const xmlNode* child = element.m_node ? element.m_node->children : nullptr;
    if (!child || m_textBudget < 0)
        return {};
    // Most elements hold exactly one text or CDATA node: read it in place.
    if (!child->next && (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)) {
        const std::string_view text = Utf8::view(child->content);
        m_textBudget -= 1 + static_cast<qint64>(text.size());
        if (m_textBudget >= 0)
            return text;
    } else {
        buffer.clear();
        if (appendText(child, buffer, m_textBudget))
            return buffer;
    }
    qCDebug(lcXml) << "text budget spent: the document counts as malformed";
    return {};
}
