#include "ui/core/TwXml.h"

#include <cstring>

std::vector<TiXmlDocument> ParseXmlDocuments(const std::vector<std::string>& copies) {
    std::vector<TiXmlDocument> documents;
    documents.reserve(copies.size());
    for (const std::string& copy : copies) {
        TiXmlDocument document;
        if (ParseXmlText(document, copy))
            documents.push_back(std::move(document));
    }
    return documents;
}

bool ParseXmlText(TiXmlDocument& document, const std::string& text) {
    if (XmlNestingDepth(text) > kMaxDocumentDepth)
        return false;
    // A UTF-8 character is at most four bytes: after a first byte at the
    // end, the parser steps at most three bytes past the text's end.
    std::string padded;
    padded.reserve(text.size() + 4);
    padded.append(text).append(4, '\0');
    document.Parse(padded.c_str(), nullptr, TIXML_ENCODING_UTF8);
    return !document.Error();
}

const TiXmlElement* RootWithTag(const TiXmlDocument& document, const char* tag) {
    const TiXmlElement* root = document.RootElement();
    return (root && std::strcmp(root->Value(), tag) == 0) ? root : nullptr;
}

int XmlNestingDepth(const std::string& text) {
    int depth = 0;
    int deepest = 0;
    std::size_t i = 0;
    const auto skipPast = [&](const char* end) {
        const std::size_t found = text.find(end, i);
        i = found == std::string::npos ? text.size() : found + std::strlen(end);
    };
    while (i < text.size()) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (text.compare(i, 4, "<!--") == 0) {
            skipPast("-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            skipPast("]]>");
        } else if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            skipPast(">");
        } else if (text.compare(i, 2, "</") == 0) {
            depth = depth > 0 ? depth - 1 : 0;
            skipPast(">");
        } else {
            // An opening tag: find its end outside quoted values.
            char quote = 0;
            std::size_t j = i + 1;
            for (; j < text.size(); ++j) {
                const char c = text[j];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            const bool selfClosing = j < text.size() && j > i + 1 && text[j - 1] == '/';
            if (!selfClosing && ++depth > deepest)
                deepest = depth;
            i = j + 1;
        }
    }
    return deepest;
}
