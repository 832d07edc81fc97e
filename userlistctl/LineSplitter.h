#pragma once
// Cuts text that arrives in chunks into lines: a line ends at LF, and a CR
// right before that LF is part of the line end. Only an unfinished line is
// kept between chunks, and no line may be longer than a limit, so a file of
// any size is read with one buffer and a bounded amount of memory.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class LineSplitter {
public:
    // Receives each line (without its end) and its number, from 1; returns
    // false to stop.
    using LineSink = std::function<bool(std::string_view line, std::size_t number)>;

    LineSplitter(std::size_t maxLineBytes, LineSink sink);

    // Feeds the next chunk; false once the sink stopped or a line grew past
    // the limit (TooLong() then says so, and LineNumber() names that line).
    bool Feed(std::string_view chunk);
    // Hands over a last line that has no line end; false as Feed.
    bool Finish();

    bool TooLong() const { return m_tooLong; }
    // The number of the next line to hand over: the line that was too long
    // when TooLong(); one past the last line after Finish.
    std::size_t LineNumber() const { return m_lineNumber; }

private:
    bool Deliver(std::string_view line);
    bool Keep(std::string_view part);

    const std::size_t m_maxLineBytes;
    LineSink m_sink;
    std::string m_partial; // the start of a line that the next chunk ends
    std::size_t m_lineNumber = 1;
    bool m_stopped = false;
    bool m_tooLong = false;
};
