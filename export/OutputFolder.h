#pragma once
// The folder outputs go into, made when missing: the converter's -o folder
// and the conversion dialog's destination.

#include <string>

// Creates folder and every missing folder above it, as mkdir -p does. True
// when it exists as a folder afterwards; otherwise filesystem::LastFailure
// holds the system's reason.
bool MakeFolders(const std::string& folder);
