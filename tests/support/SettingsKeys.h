#pragma once
// The keys of the settings file by kind, for tests that give every key of a
// kind the same value.

#include <cstddef>
#include <string>

namespace settingskeys {

inline const char* const kNumbers[] = {"WinLeft",   "WinTop",    "WinRight",  "WinBottom",  "ShowCmd",
                                       "ListWidth", "Scale",     "ColBk",     "MouseRight", "MouseMid",
                                       "MouseUp",   "MouseDown", "MouseLDbl", "ConvType"};
inline const char* const kTexts[] = {"Velmora", "OpenDir", "ConvDir", "RecDir1",
                                     "RecDir2", "RecDir3", "RecDir4", "RecDir5"};

// A settings file: the section, then key=value for each of keys.
template <size_t N> std::string EveryKey(const char* const (&keys)[N], const std::string& value) {
    std::string text = "[Tessaven]\r\n";
    for (const char* key : keys)
        text += std::string(key) + "=" + value + "\r\n";
    return text;
}

} // namespace settingskeys
