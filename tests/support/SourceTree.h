#pragma once
// Files of the source tree (samples, the corpus) as this build's test
// programs see them. The test runner names the tree in TESSAVEL_SOURCE_DIR;
// under Wine a host path /x/y is the drive path Z:\x\y.

#include <string>

// relative ("tests/corpus") inside the source tree; "." stands for the tree
// when the variable is not set.
std::string SourcePath(const std::string& relative);
