#pragma once
// The files the commit kill driver commits, made alike by the driver and the
// test that checks what a killed driver left behind.

#include <string>
#include <vector>

#include "intake/FileProcessor.h"

namespace testsupport {

// COUNT files: distinct MD5s spread over the key space, one path each.
std::vector<CommitEntry> CommitKillFiles(int count);

} // namespace testsupport
