#include "base/Wide.h"

#include <windows.h>

std::wstring WidenFrom(unsigned codePage, const char* text) {
    if (text == nullptr || *text == 0)
        return std::wstring();
    const int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
    wide.resize(size_t(length - 1));
    return wide;
}

std::wstring Widen(const char* utf8) {
    return WidenFrom(CP_UTF8, utf8);
}

std::string Narrow(const wchar_t* wide, size_t length) {
    if (wide == nullptr || length == 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, int(length), nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string text(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, int(length), &text[0], size, nullptr, nullptr);
    return text;
}

std::string Narrow(const wchar_t* wide) {
    return wide == nullptr ? std::string() : Narrow(wide, wcslen(wide));
}

void Narrow(const wchar_t* wide, Str& out) {
    out.Assign(Narrow(wide).c_str());
}

namespace {

bool IsFullDrivePath(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

bool IsServerPath(const std::wstring& path) {
    return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' && path[2] != L'.';
}

} // namespace

std::wstring WidePath(const char* utf8) {
    std::wstring path = Widen(utf8);
    if (path.size() < MAX_PATH - 12)
        return path;
    // The prefix takes the path as it is: "." and ".." are resolved first.
    const DWORD room = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (room > 0) {
        std::wstring full(size_t(room), L'\0');
        const DWORD length = GetFullPathNameW(path.c_str(), room, &full[0], nullptr);
        if (length > 0 && length < room) {
            full.resize(length);
            path = full;
        }
    }
    if (IsFullDrivePath(path)) {
        for (wchar_t& c : path)
            c = c == L'/' ? L'\\' : c;
        return L"\\\\?\\" + path;
    }
    if (IsServerPath(path)) {
        for (wchar_t& c : path)
            c = c == L'/' ? L'\\' : c;
        return L"\\\\?\\UNC\\" + path.substr(2);
    }
    return path;
}
