#pragma once
// COM for the scope of a thread's work: a single-threaded apartment entered
// at construction and left at destruction (when it was entered).

#include <windows.h>

#include <objbase.h>

class ComApartment {
public:
    ComApartment() : m_entered(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (m_entered)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_entered;
};
