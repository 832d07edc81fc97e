#pragma once
// The one way test code includes GoogleTest.

#include <windows.h>

#include <gtest/gtest.h>
