// The labels of files of the same name from different folders.
#include "base/PathLabels.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Paths written with '|' for the platform's separator.
std::vector<std::string> Native(std::vector<std::string> paths) {
    for (std::string& path : paths)
        for (char& c : path)
            if (c == '|')
                c = text::PathSeparator();
    return paths;
}

TEST(PathLabels, EachFileShowsTheFewestFoldersThatTellItApart) {
    const struct {
        const char* what;
        std::vector<std::string> paths, labels;
    } cases[] = {
        {"a folder and its subfolder", {"|w|art|m041.qvm", "|w|art|sub|m041.qvm"}, {"art|m041.qvm", "sub|m041.qvm"}},
        {"one pair of equal last folders",
         {"|x|a|n.qvm", "|y|a|n.qvm", "|z|b|n.qvm"},
         {"x|a|n.qvm", "y|a|n.qvm", "b|n.qvm"}},
        {"folders differing in case only are the same",
         {"|p|Art|n.qvm", "|q|art|n.qvm"},
         {"p|Art|n.qvm", "q|art|n.qvm"}},
        {"a path listed twice is one file", {"|p|n.qvm", "|P|N.qvm"}, {"n.qvm", "N.qvm"}},
        {"a path listed twice beside another", {"|p|n.qvm", "|q|n.qvm", "|p|n.qvm"}, {"p|n.qvm", "q|n.qvm", "p|n.qvm"}},
        {"a path shorter than the other", {"n.qvm", "|p|n.qvm"}, {"n.qvm", "p|n.qvm"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DistinctLabels(Native(c.paths)), Native(c.labels)) << c.what;
}

} // namespace
