#include "tests/support/TempDir.h"

#include <atomic>
#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        fs::path candidate = fs::temp_directory_path() /
                             ("tessavel-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path = candidate.string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code error;
    fs::remove_all(path, error);
}

std::string TempDir::File(const std::string& name) const { return (fs::path(path) / name).string(); }
