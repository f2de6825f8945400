// Windows lets a program hold a file so that nobody may rename over it: a
// virus scanner or the search indexer does so for a moment after a file
// changes. Outputs wait for such a file for about a second, and name the
// cause when it stays held. The wait between tries is the test's where it
// lets go of the file, so nothing depends on how long a moment is.

#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "base/FileWriter.h"
#include "export/TempOutput.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>

namespace {

std::wstring Wide(const std::string& path) {
    return std::filesystem::path(path).wstring();
}

// Opens path as a scanner does: reading, sharing reads and writes but not
// deletion, so a rename over the file is refused while it is held.
HANDLE Hold(const std::string& path) {
    return CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteThrough(const std::string& final, const char* bytes) {
    TempOutput output;
    FileWriter file;
    return output.Open(file, final.c_str()) && file.WriteExact(bytes, uint32_t(std::strlen(bytes))) &&
           output.Finish(file, true);
}

TEST(HeldOutput, ADestinationHeldForAMomentIsWaitedFor) {
    TempDir dir;
    const std::string final = dir.File("out.png");
    const std::string written = dir.File("out.png.tmp");
    ASSERT_TRUE(docwriter::WriteFile(final, {'o', 'l', 'd'}));
    ASSERT_TRUE(docwriter::WriteFile(written, {'n', 'e', 'w'}));
    HANDLE held = Hold(final);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    // The holder lets go during the first wait, after one refused try.
    int pauses = 0;
    const bool replaced = filesystem::Replace(written.c_str(), final.c_str(), [&](int attempt) {
        EXPECT_EQ(attempt, pauses);
        if (pauses++ == 0)
            CloseHandle(held);
        return pauses < 5;
    });
    EXPECT_TRUE(replaced) << filesystem::LastFailure();
    EXPECT_EQ(pauses, 1) << "the held file was tried once, waited for and replaced";
    if (pauses == 0)
        CloseHandle(held);
    EXPECT_EQ(docwriter::ReadFile(final), (docwriter::Bytes{'n', 'e', 'w'}));
    EXPECT_FALSE(filesystem::Exists(written.c_str()));
}

TEST(HeldOutput, ADestinationHeldForGoodFailsAsInUseAndKeepsTheOldFile) {
    TempDir dir;
    const std::string final = dir.File("out.png");
    ASSERT_TRUE(docwriter::WriteFile(final, {'o', 'l', 'd'}));
    HANDLE held = Hold(final);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteThrough(final, "new"));
    EXPECT_EQ(filesystem::LastFailure(), int(ERROR_SHARING_VIOLATION));
    CloseHandle(held);
    EXPECT_EQ(docwriter::ReadFile(final), (docwriter::Bytes{'o', 'l', 'd'}));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1) << "the temporary is removed";
}

TEST(HeldOutput, AReadOnlyDestinationFailsAtOnceAsDenied) {
    TempDir dir;
    const std::string final = dir.File("out.png");
    ASSERT_TRUE(docwriter::WriteFile(final, {'o', 'l', 'd'}));
    ASSERT_TRUE(SetFileAttributesW(Wide(final).c_str(), FILE_ATTRIBUTE_READONLY));
    // Refused for what it is, not taken for a file in use.
    EXPECT_FALSE(WriteThrough(final, "new"));
    EXPECT_EQ(filesystem::LastFailure(), int(ERROR_ACCESS_DENIED));
    SetFileAttributesW(Wide(final).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(HeldOutput, TemporariesAreHiddenWhileWrittenAndTheOutputIsNot) {
    TempDir dir;
    const std::string final = dir.File("out.png");
    TempOutput output;
    FileWriter file;
    ASSERT_TRUE(output.Open(file, final.c_str()));
    const DWORD whileWritten = GetFileAttributesW(Wide(output.TemporaryPath()).c_str());
    ASSERT_NE(whileWritten, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(whileWritten & FILE_ATTRIBUTE_HIDDEN, 0u);
    ASSERT_TRUE(file.WriteExact("picture", 7));
    ASSERT_TRUE(output.Finish(file, true));
    const DWORD after = GetFileAttributesW(Wide(final).c_str());
    ASSERT_NE(after, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(after & FILE_ATTRIBUTE_HIDDEN, 0u);
}

} // namespace
