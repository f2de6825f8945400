#include "base/Str.h"

#include "base/Text.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// Capacity given by the constructor: small requests share a few classes, from
// 512 characters on the request is taken exactly.
int32_t ConstructionCapacity(int32_t n) {
    if (n < 64)
        return 63;
    if (n < 128)
        return 127;
    if (n < 256)
        return 255;
    if (n < 512)
        return 511;
    return n;
}

// Capacity chosen when a Str has to grow: the classes run on to 1023 and
// 2047, so most paths stay in a 512-byte buffer and a grown text rarely moves
// twice.
int32_t GrowthCapacity(int32_t n) {
    if (n < 128)
        return 127;
    if (n < 256)
        return 255;
    if (n < 512)
        return 511;
    if (n < 1024)
        return 1023;
    if (n < 2048)
        return 2047;
    return n;
}

char* AllocateBuffer(int32_t capacity) {
    char* buffer = static_cast<char*>(std::malloc(size_t(capacity) + 1));
    if (buffer == nullptr)
        std::abort(); // the program treats an exhausted heap as fatal
    buffer[0] = 0;
    buffer[capacity] = 0;
    return buffer;
}

} // namespace

Str::Str() : Str(0) {}

Str::Str(int32_t requested) {
    capacity = ConstructionCapacity(requested);
    data = AllocateBuffer(capacity);
}

void Str::Free() {
    std::free(data);
    data = nullptr;
    capacity = 0;
}

void Str::Reserve(int32_t n) {
    if (n <= capacity)
        return;
    const int32_t grown = GrowthCapacity(n);
    char* buffer = AllocateBuffer(grown);
    if (data != nullptr)
        std::memcpy(buffer, data, size_t(Length()) + 1);
    std::free(data);
    data = buffer;
    capacity = grown;
}

int32_t Str::Length() const {
    return data == nullptr ? 0 : int32_t(std::strlen(data));
}

void Str::Clear() {
    if (data != nullptr)
        data[0] = 0;
}

void Str::Assign(const char* text) {
    if (text == data)
        return;
    const int32_t length = int32_t(std::strlen(text));
    if (length > capacity) {
        Reserve(length); // text cannot lie in our buffer: it is longer than it
    }
    std::memmove(data, text, size_t(length) + 1);
}

void Str::Append(const char* text) {
    const int32_t own = Length();
    const int32_t added = int32_t(std::strlen(text));
    // The text may be a part of this very string; keep its offset across a move.
    const bool inside = data != nullptr && text >= data && text <= data + capacity;
    const ptrdiff_t offset = inside ? text - data : 0;
    Reserve(own + added);
    if (inside)
        text = data + offset;
    std::memmove(data + own, text, size_t(added));
    data[own + added] = 0;
}

void Str::AppendChar(char c) {
    const int32_t length = Length();
    Reserve(length + 1);
    data[length] = c;
    data[length + 1] = 0;
}

char Str::CharAt(int32_t i) const {
    if (data == nullptr || i < 0 || i > capacity)
        return 0;
    return data[i];
}

int32_t Str::SetCharAt(int32_t i, char c) {
    if (data != nullptr && i >= 0 && i < capacity)
        data[i] = c;
    return i;
}

void Str::Mid(Str& out, int32_t start, int32_t count) const {
    const int32_t length = Length();
    if (start < 0)
        start = 0;
    if (start > length)
        start = length;
    const int32_t rest = length - start;
    if (count < 0 || count > rest)
        count = rest;
    out.Reserve(count);
    std::memmove(out.data, data + start, size_t(count));
    out.data[count] = 0;
}

int Str::CompareNoCase(const char* text) const {
    return text::CompareNoCase(data, text);
}

int32_t Str::FindChar(int32_t start, char c) const {
    const int32_t length = Length();
    if (start < 0 || start > length)
        return -1;
    for (const char* p = data + start; *p != 0; p = text::NextChar(p)) {
        if (*p == c)
            return int32_t(p - data);
    }
    return -1;
}

int32_t Str::FindLast(char c) const {
    if (data == nullptr)
        return -1;
    int32_t found = -1;
    for (const char* p = data; *p != 0; p = text::NextChar(p)) {
        if (*p == c)
            found = int32_t(p - data);
    }
    return found;
}

void Str::ReplaceChar(char from, char to) {
    if (data == nullptr)
        return;
    // Measure once: replacing with NUL splits the text, and the walk must go
    // on over the pieces that follow.
    char* const end = data + Length();
    char* p = data;
    while (p < end) {
        if (*p == from) {
            *p = to;
            ++p;
        } else {
            char* next = const_cast<char*>(text::NextChar(p));
            p = next > end ? end : next;
        }
    }
}

void Str::GetFileName(Str& out) const {
    int32_t p = FindLast('\\');
    if (p < 0)
        p = FindLast('/');
    Mid(out, p + 1, -1);
}

void Str::RemoveFileName() {
    int32_t p = FindLast('\\');
    if (p < 0)
        p = FindLast('/');
    if (p < 0)
        p = 0;
    if (data != nullptr)
        data[p] = 0;
}

void Str::GetExtension(Str& out) const {
    const int32_t p = FindLast('.');
    if (p < 0) {
        out.Clear();
        return;
    }
    Mid(out, p + 1, -1);
}

int32_t Str::ReplaceExtension(const char* ext) {
    const int32_t p = FindLast('.');
    if (p < 0)
        return -1;
    Reserve(p + 1 + int32_t(std::strlen(ext)));
    data[p + 1] = 0;
    Append(ext);
    return p;
}

void Str::Unquote() {
    const int32_t length = Length();
    if (length < 3 || data[0] != '"')
        return;
    std::memmove(data, data + 1, size_t(length - 1));
    data[length - 2] = 0;
}

bool Str::SetToModuleFolder(const char* name) {
    Reserve(511);
    if (text::GetModulePath(data, uint32_t(BufferSize())) == 0)
        return false;
    data[capacity] = 0;
    RemoveFileName();
    if (name != nullptr) {
        AppendChar(text::PathSeparator());
        Append(name);
    }
    return true;
}
