#include "userlistctl/HandleOutput.h"

#include "common/FileWrites.h"

namespace {
constexpr std::size_t kBufferBytes = 64 * 1024;
} // namespace

HandleStreamBuf::HandleStreamBuf(HANDLE handle) : m_handle(handle), m_buffer(kBufferBytes) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

HandleStreamBuf::~HandleStreamBuf() {
    WriteOut();
}

bool HandleStreamBuf::WriteOut() {
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return WriteAllBytes(m_handle, m_buffer.data(), size);
}

HandleStreamBuf::int_type HandleStreamBuf::overflow(int_type c) {
    if (!WriteOut())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int HandleStreamBuf::sync() {
    return WriteOut() ? 0 : -1;
}
