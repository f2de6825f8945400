#pragma once
// The settings file's layout for the tests, stated once: its section and its
// keys by kind, each kind in the order the program writes them (the numbers
// first, then the texts).

#include <cstddef>
#include <string>

namespace settingskeys {

inline const char* const kNumbers[] = {"WinLeft",   "WinTop",    "WinRight",  "WinBottom",  "ShowCmd",
                                       "ListWidth", "Scale",     "ColBk",     "MouseRight", "MouseMid",
                                       "MouseUp",   "MouseDown", "MouseLDbl", "ConvType",   "LayersPane"};
inline const char* const kTexts[] = {"Velmora", "OpenDir", "ConvDir", "RecDir1", "RecDir2",
                                     "RecDir3", "RecDir4", "RecDir5", "LastFile"};

// The section's line, CR LF ended.
inline std::string SectionLine() {
    return "[Tessaven]\r\n";
}

// A settings file: the section, then key=value for each of keys.
template <size_t N> std::string EveryKey(const char* const (&keys)[N], const std::string& value) {
    std::string text = SectionLine();
    for (const char* key : keys)
        text += std::string(key) + "=" + value + "\r\n";
    return text;
}

} // namespace settingskeys
