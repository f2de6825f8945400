#include "tests/e2e/E2ePaths.h"

#include <windows.h>

namespace e2e {

std::string WindowsPath(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        if (c == '/')
            c = '\\';
    if (!out.empty() && out[0] == '\\' && (out.size() < 2 || out[1] != '\\'))
        out = "Z:" + out;
    return out;
}

std::string BuildPath(const std::string& relative) {
    return WindowsPath(std::string(TESSAVEL_E2E_BUILD_DIR) + "/" + relative);
}

std::string ViewerExe() {
    return BuildPath("app/tessavel.exe");
}
std::string ProbeExe() {
    return WindowsPath(TESSAVEL_HARNESS_PROBE);
}
std::string HookDll() {
    return WindowsPath(TESSAVEL_HARNESS_HOOK);
}
std::string HarnessTool() {
    return WindowsPath(TESSAVEL_HARNESS_TOOL);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace e2e
