#include "base/Str.h"

#include "base/Wide.h"

#include <windows.h>

int32_t Str::LoadFromResource(uint32_t id) {
    // The table holds UTF-16; with a zero size the call hands out a pointer
    // to the entry itself, which is not terminated.
    const wchar_t* entry = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&entry), 0);
    if (length <= 0 || entry == nullptr) {
        Clear();
        return 0;
    }
    std::string text = Narrow(entry, size_t(length));
    // Cut to the current capacity between whole characters.
    size_t keep = text.size() < size_t(capacity) ? text.size() : size_t(capacity);
    while (keep > 0 && keep < text.size() && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
        --keep;
    text.resize(keep);
    Assign(text.c_str());
    return int32_t(keep);
}
