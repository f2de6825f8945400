// regsvr32 on the thumbnail handler: what it writes for the current user,
// and that /u removes exactly that, leaving what other programs registered.
#include "shell/ThumbnailIds.h"
#include "tests/shell/ShellRegistry.h"

#include <gtest/gtest.h>

using namespace shelltest;

namespace {

const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kClassKey = kClasses + L"CLSID\\" + kThumbnailClsidText;
const std::wstring kQvm = kClasses + L".qvm";
const std::wstring kQvr = kClasses + L".qvr";
const std::wstring kShellEx = std::wstring(L"\\ShellEx\\") + kThumbnailShellExKey;
constexpr wchar_t kOtherHandler[] = L"{00000000-1111-2222-3333-444444444444}";

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RegistryIsPrivate())
            GTEST_SKIP() << "would change this user's registry (set TESSAVEL_REGISTRY_TESTS=1 to allow)";
        Clean();
    }
    void TearDown() override {
        if (RegistryIsPrivate())
            Clean();
    }
    static void Clean() {
        RunRegsvr32(true);
        DeleteUserTree(kQvm);
        DeleteUserTree(kQvr);
        DeleteUserTree(kClassKey);
    }
};

TEST_F(RegistrationTest, RegistersForTheCurrentUserAndRemovesOnlyItsOwn) {
    // Another program's: a content type and a key of .qvm, and the thumbnail
    // handler of .qvr.
    SetUserValue(kQvm, L"Content Type", L"application/x-other");
    SetUserValue(kQvm + L"\\OpenWithProgids", L"Other.Document", L"");
    SetUserValue(kQvr + kShellEx, nullptr, kOtherHandler);

    ASSERT_EQ(RunRegsvr32(false), 0u);
    EXPECT_EQ(UserValue(kClassKey + L"\\InprocServer32"), HandlerDll());
    EXPECT_EQ(UserValue(kClassKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(UserValue(kQvm + kShellEx), kThumbnailClsidText);
    EXPECT_EQ(UserValue(kQvr + kShellEx), kThumbnailClsidText);
    // Registering again changes nothing, and forgets nothing it replaced.
    ASSERT_EQ(RunRegsvr32(false), 0u);
    EXPECT_EQ(UserValue(kQvr + kShellEx), kThumbnailClsidText);

    ASSERT_EQ(RunRegsvr32(true), 0u);
    EXPECT_FALSE(UserKeyExists(kClassKey));
    EXPECT_FALSE(UserKeyExists(kQvm + L"\\ShellEx"));
    EXPECT_EQ(UserValue(kQvm, L"Content Type"), L"application/x-other");
    EXPECT_TRUE(UserKeyExists(kQvm + L"\\OpenWithProgids"));
    EXPECT_EQ(UserValue(kQvr + kShellEx), kOtherHandler) << "the handler it replaced is back";
}

TEST_F(RegistrationTest, TypesItCreatedAreRemovedWhole) {
    ASSERT_EQ(RunRegsvr32(false), 0u);
    ASSERT_EQ(RunRegsvr32(true), 0u);
    EXPECT_FALSE(UserKeyExists(kQvm));
    EXPECT_FALSE(UserKeyExists(kQvr));
    EXPECT_FALSE(UserKeyExists(kClassKey));
}

TEST_F(RegistrationTest, HandlerRegisteredAfterOursIsLeftAlone) {
    ASSERT_EQ(RunRegsvr32(false), 0u);
    SetUserValue(kQvm + kShellEx, nullptr, kOtherHandler);
    ASSERT_EQ(RunRegsvr32(true), 0u);
    EXPECT_EQ(UserValue(kQvm + kShellEx), kOtherHandler);
    EXPECT_FALSE(UserKeyExists(kQvr));
}

} // namespace
