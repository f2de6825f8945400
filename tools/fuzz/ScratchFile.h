#pragma once
// The file a fuzz target writes each input to before handing its path to the
// code under test. It lives on the memory file system (/dev/shm) when there
// is one, so an execution costs no disk traffic, is named after the process
// so that parallel fuzzers never share it, and is removed at exit.

#include <cstddef>
#include <cstdint>
#include <string>

class ScratchFile {
public:
    // extension without the dot: the loader chooses the reader by it.
    explicit ScratchFile(const char* extension);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the file's content; aborts when that fails, since every later
    // result would be about another input.
    void Write(const uint8_t* data, size_t size);
    const char* Path() const { return path.c_str(); }

private:
    std::string path;
};

// A folder of the process's own on the memory file system, made empty, for
// targets that write files; removed at exit.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path; }

private:
    std::string path;
};
