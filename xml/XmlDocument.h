#pragma once
// A parsed XML document (libxml2), owned and freed here. Parsing never touches the network,
// loads no external DTD or entity, keeps libxml2's limits against oversized documents and
// reports nothing: a text that does not parse is simply an invalid document.
//
// Entity references stay in the tree and are expanded only when text is read, where libxml2's
// own limits no longer apply: a few bytes of entities can stand for gigabytes of text, or for
// billions of empty expansions. So all text is read here, against one budget per document.

#include "xml/XmlElement.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <string_view>

struct _xmlDoc;
struct _xmlParserCtxt;

class XmlDocument {
public:
    // Decides while parsing which nodes the tree keeps, so that a reader of a few elements of a
    // large document does not pay for building the rest. Called with the parent a node would get
    // (null for the root element), the depth it would have (root element 0) and its qualified
    // name, which is empty for character data and entity references. A node left out takes its
    // whole content with it. Attributes, comments and processing instructions are never kept.
    // The whole document is parsed and checked all the same.
    using Filter = bool (*)(XmlElement parent, int depth, std::string_view name);
    // Called after the end tag of every element the filter keeps, with the element and its
    // depth. It may read the element's text and remove() it.
    using Closed = std::function<void(XmlElement element, int depth)>;

    // Parses `bytes`, honouring the document's declared or detected encoding. `textBudget`
    // bounds what the texts read out of it may cost: each byte, and each node visited.
    XmlDocument(QByteArrayView bytes, qint64 textBudget);
    // A document that arrives in pieces: append() each, then finish(). `closed` lets the reader
    // take each element as soon as it is complete and drop it, so that a long document is never
    // in memory whole, neither its bytes nor its tree.
    XmlDocument(qint64 textBudget, Filter filter, Closed closed);
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    void append(QByteArrayView bytes);
    void finish();
    // Unlinks `element` from the tree and frees it with everything inside.
    void remove(XmlElement element);

    // False once the text read out of it has gone over budget, and for a malformed document:
    // while pieces still arrive, whether it is well-formed so far.
    bool isValid() const;
    // Null for a document that did not parse or has no root element.
    XmlElement rootElement() const;

    // All character data inside `element`, in document order: entities expanded, CDATA
    // sections and the text of nested elements included. Empty once over budget.
    QString text(XmlElement element);
    // The same as UTF-8, read in place where the element holds a single text node and collected
    // into `buffer` otherwise; valid while both live. Saves the conversions of a text that is
    // only cut into pieces.
    std::string_view utf8Text(XmlElement element, std::string& buffer);

private:
    class Builder;
    struct Free {
        void operator()(_xmlDoc* doc) const;
        void operator()(_xmlParserCtxt* context) const;
    };
    void takeDocument(_xmlParserCtxt* context);

    std::unique_ptr<_xmlDoc, Free> m_doc;
    qint64 m_textBudget; // what is left; negative once overspent
    // While pieces arrive.
    std::unique_ptr<Builder> m_builder;
    std::unique_ptr<_xmlParserCtxt, Free> m_context;
    QByteArray m_head; // the first bytes, until there are enough to detect the encoding
};
