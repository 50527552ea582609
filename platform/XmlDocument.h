#pragma once
// A parsed XML document (libxml2), owned and freed here. Parsing never touches the network,
// loads no external DTD or entity, keeps libxml2's limits against oversized documents and
// reports nothing: a text that does not parse is simply an invalid document.

#include "XmlElement.h"

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

    // Parses `bytes`, honouring the document's declared or detected encoding.
    explicit XmlDocument(QByteArrayView bytes, Filter filter = nullptr);

    bool isValid() const { return m_doc != nullptr; }
    // Null for an invalid document or one without a root element.
    XmlElement rootElement() const;

private:
    struct Free {
        void operator()(_xmlDoc* doc) const;
    };
    std::unique_ptr<_xmlDoc, Free> m_doc;
};
