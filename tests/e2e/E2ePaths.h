#pragma once
// Where the end-to-end tests find the programs they drive. The build folder
// is compiled in as the host sees it; under Wine a host path /a/b is the
// Windows path Z:\a\b (drive Z: is the host's root in every Wine prefix).

#include <string>

namespace e2e {

// A host or Windows path as a Windows path: "/a/b" -> "Z:\a\b", "C:/x" -> "C:\x".
std::string WindowsPath(const std::string& path);

// relative ("app/tessavel.exe") inside the build folder of this preset.
std::string BuildPath(const std::string& relative);

std::string ViewerExe();   // the viewer, app/tessavel.exe of the build folder
std::string ProbeExe();    // the harness's own probe window program
std::string HookDll();     // the DLL the harness injects for in-process queries
std::string HarnessTool(); // the command-line driver used by scripts/run-viewer

bool FileExists(const std::string& path);

} // namespace e2e
