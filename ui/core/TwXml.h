#pragma once
// TinyXML, the parser of every UI document (its element, attribute and text
// model only).

#include <string>
#include <vector>

#include <tinyxml.h>

// The deepest element nesting of an XML text, read as TinyXML reads it: what
// starts an element (a letter, "_" or a byte past 126 after "<"), quoted
// values, comments, CDATA, declarations and the constructs it skips to the
// next ">", and characters of several bytes, which it steps over whole in
// texts and quoted values (a "<" or a quote inside one is not seen). A
// self-closing element counts as a level. The parser goes down one call per
// level, so a text with more levels than kMaxDocumentDepth is refused before
// it is parsed.
int XmlNestingDepth(const std::string& text);
inline constexpr int kMaxDocumentDepth = 256;

// Parses `text` (UTF-8) into `document`; false when it is nested too deeply
// (it is then not parsed) or does not parse. TinyXML takes a character's
// length from its first byte and steps over that many bytes, also past the
// end of a text that stops inside a character: it is given the text followed
// by NUL bytes enough for the longest character, so it never reads past them.
bool ParseXmlText(TiXmlDocument& document, const std::string& text);

// Each byte string is parsed as its own document; unparsable ones and ones
// nested too deeply are left out. The documents keep the order of the strings.
std::vector<TiXmlDocument> ParseXmlDocuments(const std::vector<std::string>& copies);

// The root element when it has the given tag, else null.
const TiXmlElement* RootWithTag(const TiXmlDocument& document, const char* tag);
