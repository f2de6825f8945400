#pragma once
// A scratch folder for one test, removed with everything in it afterwards.

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    // path + the platform's separator + name
    std::string File(const std::string& name) const;

private:
    std::string path;
};
