#pragma once
// userlistctl check: whether this installation can do its work, one
// "<what>\t<finding>" line per fact (version, component, store, entries,
// network share, virtualisation), each problem also named on standard
// error. An administrator runs it first when something does not work.

#include <ostream>

#include "intake/FileProcessor.h"
#include "userlistctl/CliEnvironment.h"

// After the processor's Initialize. Returns 0, or the exit code of the
// first problem found.
int RunCheck(FileProcessor& processor, const CliEnvironment& environment, std::ostream& out,
             std::ostream& err);
