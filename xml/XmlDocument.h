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
#include <memory>
#include <string_view>

struct _xmlDoc;

class XmlDocument {
public:
    // Decides while parsing which nodes the tree keeps, so that a reader of a few elements of a
    // large document does not pay for building the rest. Called with the parent a node would get
    // (null for the root element), the depth it would have (root element 0) and its qualified
    // name, which is empty for character data and entity references. A node left out takes its
    // whole content with it. With a filter, attributes, comments and processing instructions are
    // never kept. The whole document is parsed and checked all the same.
    using Filter = bool (*)(XmlElement parent, int depth, std::string_view name);

    // Parses `bytes`, honouring the document's declared or detected encoding. `textBudget`
    // bounds what the texts read out of it may cost: each byte, and each node visited.
    XmlDocument(QByteArrayView bytes, qint64 textBudget, Filter filter = nullptr);

    // False once the text read out of it has gone over budget: such a document is malformed.
    bool isValid() const { return m_doc != nullptr && m_textBudget >= 0; }
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
    struct Free {
        void operator()(_xmlDoc* doc) const;
    };
    std::unique_ptr<_xmlDoc, Free> m_doc;
    qint64 m_textBudget; // what is left; negative once overspent
};
