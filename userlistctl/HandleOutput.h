#pragma once
// An output stream over a file handle (the standard output), gathered into
// writes of 64 KiB: a command may print a million lines, and each write is
// a system call. Bytes go out as they are: lines end in LF for the scripts
// that read them.

#include <streambuf>
#include <vector>

#include <windows.h>

class HandleStreamBuf : public std::streambuf {
public:
    explicit HandleStreamBuf(HANDLE handle);
    ~HandleStreamBuf() override;
    HandleStreamBuf(const HandleStreamBuf&) = delete;
    HandleStreamBuf& operator=(const HandleStreamBuf&) = delete;

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool WriteOut();

    HANDLE m_handle;
    std::vector<char> m_buffer;
};
