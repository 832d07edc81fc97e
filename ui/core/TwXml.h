#pragma once
// TinyXML, the parser of every UI document (its element, attribute and text
// model only).

#include <string>
#include <vector>

#include <tinyxml.h>

// Each byte string is parsed as its own document; unparsable ones are left
// out. The documents keep the order of the strings.
std::vector<TiXmlDocument> ParseXmlDocuments(const std::vector<std::string>& copies);

// The root element when it has the given tag, else null.
const TiXmlElement* RootWithTag(const TiXmlDocument& document, const char* tag);
