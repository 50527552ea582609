#pragma once
// A parsed XML document (libxml2), owned and freed here. Parsing never touches the network,
// loads no external DTD or entity, keeps libxml2's limits against oversized documents and
// reports nothing: a text that does not parse is simply an invalid document.

#include "XmlElement.h"

#include <QByteArray>
#include <memory>

struct _xmlDoc;

class XmlDocument {
public:
    // Parses `bytes`, honouring the document's declared or detected encoding.
    explicit XmlDocument(QByteArrayView bytes);

    bool isValid() const { return m_doc != nullptr; }
    // Null for an invalid document or one without a root element.
    XmlElement rootElement() const;

private:
    struct Free {
        void operator()(_xmlDoc* doc) const;
    };
    std::unique_ptr<_xmlDoc, Free> m_doc;
};
