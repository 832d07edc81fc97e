#include "ui/core/TwXml.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

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

namespace {

// The text as TinyXML reads it in UTF-8 mode, for the one question of how
// deep its elements nest. Only the parser's successful reading matters:
// where it stops at an error it goes no deeper.
class NestingScan {
public:
    explicit NestingScan(const std::string& text) : m_text(text) {}

    int Deepest() {
        while (m_at < m_text.size()) {
            if (At() != '<') {
                if (!StepText())
                    Stop();
                continue;
            }
            if (StartsWith("<?xml", true))
                Declaration();
            else if (StartsWith("<!--", false))
                SkipPast("-->");
            else if (StartsWith("<![CDATA[", false))
                SkipPast("]]>");
            else if (StartsWith("<!", false))
                SkipPast(">");
            else if (StartsWith("</", false))
                EndTag();
            else if (IsNameStart(Peek(1)))
                Element();
            else
                SkipPast(">"); // the parser's "unknown"
        }
        return m_deepest;
    }

private:
    // A byte the parser takes as a letter: ASCII letters and every byte past 126.
    static bool IsNameStart(unsigned char c) {
        return c == '_' || (c >= 127 ? true : std::isalpha(c) != 0);
    }
    static bool IsNameByte(unsigned char c) {
        return c >= 127 || std::isalnum(c) != 0 || c == '_' || c == '-' || c == '.' || c == ':';
    }
    static bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    // How many bytes the parser takes for the character a byte starts.
    static std::size_t CharacterLength(unsigned char lead) {
        if (lead >= 0xC2 && lead <= 0xDF)
            return 2;
        if (lead >= 0xE0 && lead <= 0xEF)
            return 3;
        if (lead >= 0xF0 && lead <= 0xF4)
            return 4;
        return 1;
    }

    unsigned char Peek(std::size_t ahead) const {
        return m_at + ahead < m_text.size() ? static_cast<unsigned char>(m_text[m_at + ahead]) : 0;
    }
    unsigned char At() const { return Peek(0); }
    bool AtEnd() const { return m_at >= m_text.size(); }
    void StepCharacter() { m_at += CharacterLength(At()); }
    static bool IsDigit(unsigned char c, bool hex) {
        return (c >= '0' && c <= '9') ||
               (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    }
    // One character of text or of a quoted value, as the parser reads it:
    // whole characters, and a character reference ("&#x" or "&#") taken
    // up to the next ';' wherever that is, past quotes and '<' alike, when
    // only digits stand before that ';' back to the 'x' or '#' nearest it.
    // False where the parser stops at a bad reference.
    bool StepText() {
        if (At() != '&' || Peek(1) != '#' || Peek(2) == 0) {
            StepCharacter();
            return true;
        }
        const bool hex = Peek(2) == 'x';
        if (hex && Peek(3) == 0)
            return false;
        // The parser looks for the ';' in a C string: it ends at a NUL.
        const std::size_t end =
            m_text.find_first_of(std::string_view(";\0", 2), m_at + (hex ? 3 : 2));
        if (end == std::string::npos || m_text[end] == '\0')
            return false;
        const char mark = hex ? 'x' : '#';
        for (std::size_t at = end - 1; m_text[at] != mark; --at) {
            if (!IsDigit(static_cast<unsigned char>(m_text[at]), hex))
                return false;
        }
        m_at = end + 1;
        return true;
    }

    bool StartsWith(const char* prefix, bool anyCase) const {
        for (std::size_t i = 0; prefix[i]; ++i) {
            const unsigned char c = Peek(i);
            const bool same = anyCase ? std::tolower(c) == prefix[i] : c == prefix[i];
            if (!same)
                return false;
        }
        return true;
    }
    void SkipPast(const char* end) {
        const std::size_t found = m_text.find(end, m_at);
        m_at = found == std::string::npos ? m_text.size() : found + std::strlen(end);
    }
    // White space, and the byte order marks the parser skips with it.
    void SkipSpace() {
        while (!AtEnd()) {
            if (At() == 0xEF && Peek(1) == 0xBB && Peek(2) == 0xBF)
                m_at += 3;
            else if (At() == 0xEF && Peek(1) == 0xBF && (Peek(2) == 0xBE || Peek(2) == 0xBF))
                m_at += 3;
            else if (IsSpace(At()))
                ++m_at;
            else
                break;
        }
    }
    // False where the parser would stop at an error.
    bool Name() {
        if (!IsNameStart(At()))
            return false;
        while (!AtEnd() && IsNameByte(At()))
            ++m_at;
        return true;
    }
    bool Attribute() {
        SkipSpace();
        if (!Name())
            return false;
        SkipSpace();
        if (At() != '=')
            return false;
        ++m_at;
        SkipSpace();
        const unsigned char quote = At();
        if (quote == '\'' || quote == '"') {
            ++m_at;
            while (!AtEnd() && At() != quote) {
                if (!StepText())
                    return false;
            }
            ++m_at;
            return true;
        }
        while (!AtEnd() && !IsSpace(At()) && At() != '/' && At() != '>') {
            if (At() == '\'' || At() == '"')
                return false;
            ++m_at;
        }
        return true;
    }
    void Declaration() {
        m_at += 5;
        while (!AtEnd()) {
            if (At() == '>') {
                ++m_at;
                return;
            }
            SkipSpace();
            if (StartsWith("version", true) || StartsWith("encoding", true) ||
                StartsWith("standalone", true)) {
                if (!Attribute())
                    return Stop();
            } else {
                while (!AtEnd() && At() != '>' && !IsSpace(At()))
                    ++m_at;
            }
        }
    }
    void Element() {
        ++m_at;
        Name();
        for (;;) {
            SkipSpace();
            if (AtEnd())
                return Stop();
            if (At() == '/') {
                // Self-closing: the parser goes one level down for it.
                m_deepest = std::max(m_deepest, m_depth + 1);
                if (Peek(1) != '>')
                    return Stop();
                m_at += 2;
                return;
            }
            if (At() == '>') {
                ++m_at;
                m_deepest = std::max(m_deepest, ++m_depth);
                return;
            }
            if (!Attribute())
                return Stop();
        }
    }
    void EndTag() {
        m_depth = m_depth > 0 ? m_depth - 1 : 0;
        SkipPast(">");
    }
    // The parser stops here: nothing after counts.
    void Stop() { m_at = m_text.size(); }

    const std::string& m_text;
    std::size_t m_at = 0;
    int m_depth = 0;
    int m_deepest = 0;
};

} // namespace

int XmlNestingDepth(const std::string& text) {
    return NestingScan(text).Deepest();
}
