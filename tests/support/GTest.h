#pragma once
// The one way test code includes GoogleTest. The library is built for the
// host, so its headers must not see the Windows macros that Winelib defines:
// they are hidden while the headers are read and restored afterwards.

#include <windows.h>

#pragma push_macro("_WIN32")
#pragma push_macro("_WIN64")
#pragma push_macro("WIN32")
#pragma push_macro("WIN64")
#pragma push_macro("__WIN32__")
#pragma push_macro("__WIN64__")
#pragma push_macro("__WINNT")
#pragma push_macro("__WINNT__")
#undef _WIN32
#undef _WIN64
#undef WIN32
#undef WIN64
#undef __WIN32__
#undef __WIN64__
#undef __WINNT
#undef __WINNT__

#include <gtest/gtest.h>

#pragma pop_macro("__WINNT__")
#pragma pop_macro("__WINNT")
#pragma pop_macro("__WIN64__")
#pragma pop_macro("__WIN32__")
#pragma pop_macro("WIN64")
#pragma pop_macro("WIN32")
#pragma pop_macro("_WIN64")
#pragma pop_macro("_WIN32")

#include "tests/support/WideAssert.h"
