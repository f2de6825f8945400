#pragma once
// Reads a settings file as the viewer does at start-up and checks what the
// rest of the program relies on: every text ends inside its buffer and within
// its room, the view's arithmetic stays usable for any scale, the recent
// folders take a new entry, and what the program then writes is read back as
// written. Shared by the settings fuzz target and the tests of hostile
// settings files.

#include <string>

// folder must exist; the probe writes three files there and removes them
// again. Empty when every
// check held, else what failed.
std::string ProbeSettingsFile(const std::string& path, const std::string& folder);
