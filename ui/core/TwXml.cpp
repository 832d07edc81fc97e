#include "ui/core/TwXml.h"

#include <cstring>

std::vector<TiXmlDocument> ParseXmlDocuments(const std::vector<std::string>& copies) {
    std::vector<TiXmlDocument> documents;
    documents.reserve(copies.size());
    for (const std::string& copy : copies) {
        TiXmlDocument document;
        document.Parse(copy.c_str(), nullptr, TIXML_ENCODING_UTF8);
        if (!document.Error())
            documents.push_back(std::move(document));
    }
    return documents;
}

const TiXmlElement* RootWithTag(const TiXmlDocument& document, const char* tag) {
    const TiXmlElement* root = document.RootElement();
    return (root && std::strcmp(root->Value(), tag) == 0) ? root : nullptr;
}
