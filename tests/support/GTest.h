#pragma once
// The one way test code includes GoogleTest. Windows test programs include
// the platform header first, as the code they test does; the portable
// core's native tests have none.

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>
