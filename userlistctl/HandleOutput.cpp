#include "userlistctl/HandleOutput.h"

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
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(m_handle, data, static_cast<DWORD>(left), &written, nullptr) || written == 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
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
