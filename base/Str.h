#pragma once
// Str: the program's one string type. An owned, growable, NUL-terminated
// buffer of UTF-8 text. Capacity grows in fixed steps (see Reserve), and
// every scan steps character by character, so that a search for a separator,
// a dot or a list delimiter never lands inside a character. Str objects are never copied; operations that produce a
// second text write into a Str the caller passes in.

#include <cstdint>
#include <utility>

class Str {
public:
    Str();                           // capacity 63, empty
    explicit Str(int32_t requested); // construction rounding, see Str.cpp
    ~Str() { Free(); }
    Str(const Str&) = delete;
    Str& operator=(const Str&) = delete;

    // Storage
    void Free();
    void Reserve(int32_t n);
    int32_t BufferSize() const { return capacity + 1; }
    int32_t Length() const;
    bool IsEmpty() const { return data == nullptr || data[0] == 0; }
    void Clear();
    // Exchanges the buffers of two strings; no text is copied.
    void Swap(Str& other) {
        std::swap(data, other.data);
        std::swap(capacity, other.capacity);
    }

    // Content
    void Assign(const char* text);
    void Append(const char* text);
    void AppendChar(char c);
    char CharAt(int32_t i) const;
    int32_t SetCharAt(int32_t i, char c);
    void Mid(Str& out, int32_t start, int32_t count) const;
    int CompareNoCase(const char* text) const;
    // Windows build only: string-table entry id of the program's module, cut
    // to the current capacity.
    int32_t LoadFromResource(uint32_t id);

    // Character scanning, by whole UTF-8 characters
    int32_t FindChar(int32_t start, char c) const;
    int32_t FindLast(char c) const;
    void ReplaceChar(char from, char to);

    // Paths: the backslash separates; the slash only when there is no backslash.
    void GetFileName(Str& out) const;
    void RemoveFileName();
    void GetExtension(Str& out) const;
    int32_t ReplaceExtension(const char* ext);
    void Unquote();
    bool SetToModuleFolder(const char* name);

    const char* Text() const { return data; }

    char* data = nullptr;
    int32_t capacity = 0; // characters that fit, not counting the terminator
};
