#pragma once
// Who is adding entries now, and on which machine, for their details.

#include <string>

#include "store/EntryDetails.h"

// The running account's name, the computer's name, and `how` and `note`
// as given.
EntryOrigin CurrentOrigin(std::string how, std::string note = {});
