#pragma once
// Runs a console program (regsvr32, the converter) to its end.

#include <windows.h>

#include <string>

namespace e2e {

// Starts commandLine and waits for it; its exit code, or DWORD(-1) when it
// could not start or did not end within timeoutMs (it is then ended).
DWORD RunToEnd(const std::wstring& commandLine, DWORD timeoutMs = 60000);

} // namespace e2e
