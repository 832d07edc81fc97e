#include "userlistctl/LineSplitter.h"

#include <utility>

LineSplitter::LineSplitter(std::size_t maxLineBytes, LineSink sink)
    : m_maxLineBytes(maxLineBytes), m_sink(std::move(sink)) {}

bool LineSplitter::Deliver(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.size() > m_maxLineBytes) {
        m_tooLong = true;
        m_stopped = true;
        return false;
    }
    if (!m_sink(line, m_lineNumber)) {
        m_stopped = true;
        return false;
    }
    ++m_lineNumber;
    return true;
}

bool LineSplitter::Keep(std::string_view part) {
    // One byte more than the limit may be the CR of a CRLF split across chunks.
    if (m_partial.size() + part.size() > m_maxLineBytes + 1) {
        m_tooLong = true;
        m_stopped = true;
        return false;
    }
    m_partial.append(part);
    return true;
}

bool LineSplitter::Feed(std::string_view chunk) {
    if (m_stopped)
        return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = chunk.find('\n', start);
        if (end == std::string_view::npos)
            return Keep(chunk.substr(start));
        const std::string_view piece = chunk.substr(start, end - start);
        bool delivered;
        if (m_partial.empty()) {
            delivered = Deliver(piece);
        } else {
            if (!Keep(piece))
                return false;
            delivered = Deliver(m_partial);
            m_partial.clear();
        }
        if (!delivered)
            return false;
        start = end + 1;
    }
}

bool LineSplitter::Finish() {
    if (m_stopped)
        return false;
    if (m_partial.empty())
        return true;
    const bool delivered = Deliver(m_partial);
    m_partial.clear();
    return delivered;
}
