#pragma once
// Two documents of one batch that would write the same file: the earlier one
// in the list writes it and the later one fails, instead of silently
// replacing it (or being skipped in its favour) while the run counts both as
// converted. The viewer's conversion dialog and the command-line converter
// both go by this.

#include <cstddef>
#include <string>
#include <vector>

inline constexpr size_t kWritesItsOwnFile = ~size_t(0);

// For each item, by the key that names the file it writes (keys are compared
// ignoring case, as the file systems the outputs go to do): the index of the
// earliest item of the list with the same key, or kWritesItsOwnFile for that
// earliest item itself and for an item whose key no other item shares.
std::vector<size_t> EarlierWriters(const std::vector<std::string>& keys);
