#pragma once
// What the file list shows for files of the same name from different folders
// (a Ctrl-drop of art\m041.qvm and art\sub\m041.qvm): the name alone would
// show two identical lines. Each gets as many of its last folders before the
// name as tell it from the others, and no more, so the usual list of one
// folder keeps its bare names.

#include <string>
#include <vector>

// For paths that all end in the same file name: each one's label, the name
// with the fewest last folders before it ("sub\m041.qvm") that no other
// path's label of as many folders equals (ignoring case). A path listed twice
// is one file, and alone shows its bare name.
std::vector<std::string> DistinctLabels(const std::vector<std::string>& paths);
