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
const std::wstring kSfaQvm = kClasses + L"SystemFileAssociations\\.qvm";
const std::wstring kSfaQvr = kClasses + L"SystemFileAssociations\\.qvr";
const std::wstring kShellEx = std::wstring(L"\\ShellEx\\") + kThumbnailShellExKey;
const std::wstring kPreviewClassKey = kClasses + L"CLSID\\" + kPreviewClsidText;
const std::wstring kPreviewShellEx = std::wstring(L"\\ShellEx\\") + kPreviewShellExKey;
const std::wstring kPreviewHandlers = L"Software\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers";
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
        DeleteUserTree(kSfaQvm);
        DeleteUserTree(kSfaQvr);
        DeleteUserTree(kClassKey);
        DeleteUserTree(kPreviewClassKey);
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
    // Whatever ProgID a type gets, SystemFileAssociations still applies.
    EXPECT_EQ(UserValue(kSfaQvm + kShellEx), kThumbnailClsidText);
    EXPECT_EQ(UserValue(kSfaQvr + kShellEx), kThumbnailClsidText);
    // The preview handler, in the system's preview surrogate.
    EXPECT_EQ(UserValue(kPreviewClassKey + L"\\InprocServer32"), HandlerDll());
    EXPECT_EQ(UserValue(kPreviewClassKey, L"AppID"), L"{6d2b5079-2f0b-48dd-ab7f-97cec514d30b}");
    EXPECT_EQ(UserValue(kPreviewHandlers, kPreviewClsidText), L"Tessavel previews");
    for (const std::wstring& type : {kQvm, kQvr, kSfaQvm, kSfaQvr})
        EXPECT_EQ(UserValue(type + kPreviewShellEx), kPreviewClsidText);
    // Registering again changes nothing, and forgets nothing it replaced.
    ASSERT_EQ(RunRegsvr32(false), 0u);
    EXPECT_EQ(UserValue(kQvr + kShellEx), kThumbnailClsidText);

    ASSERT_EQ(RunRegsvr32(true), 0u);
    EXPECT_FALSE(UserKeyExists(kClassKey));
    EXPECT_FALSE(UserKeyExists(kPreviewClassKey));
    EXPECT_EQ(UserValue(kPreviewHandlers, kPreviewClsidText), std::nullopt);
    EXPECT_FALSE(UserKeyExists(kQvr + kPreviewShellEx));
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
    EXPECT_FALSE(UserKeyExists(kSfaQvm));
    EXPECT_FALSE(UserKeyExists(kSfaQvr));
    EXPECT_FALSE(UserKeyExists(kClassKey));
}

TEST_F(RegistrationTest, DisplacedHandlersComeBackWithTheirType) {
    const struct {
        std::wstring typeKey;
        TypedText handler;
    } cases[] = {
        {kQvm, {kOtherHandler, REG_SZ}},
        {kQvr, {L"{55555555-6666-7777-8888-999999999999}", REG_EXPAND_SZ}},
        // A variable in it must come back as written, not expanded.
        {kSfaQvm, {L"%SystemRoot%{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}", REG_EXPAND_SZ}},
        {kSfaQvr, {L"{12121212-3434-5656-7878-909090909090}", REG_SZ}},
    };
    for (const auto& c : cases)
        SetUserValue(c.typeKey + kShellEx, nullptr, c.handler.text, c.handler.type);

    ASSERT_EQ(RunRegsvr32(false), 0u);
    for (const auto& c : cases)
        EXPECT_EQ(UserValue(c.typeKey + kShellEx), kThumbnailClsidText);
    ASSERT_EQ(RunRegsvr32(true), 0u);
    for (const auto& c : cases) {
        const std::string key(c.typeKey.begin(), c.typeKey.end());
        EXPECT_EQ(UserTypedValue(c.typeKey + kShellEx), c.handler) << key;
    }
    EXPECT_FALSE(UserKeyExists(kClassKey));
}

TEST_F(RegistrationTest, FailureHalfWayRemovesWhatItWrote) {
    // Another program's handler, displaced before the failure.
    const TypedText other{kOtherHandler, REG_EXPAND_SZ};
    SetUserValue(kQvm + kShellEx, nullptr, other.text, other.type);
    // The last key registering writes cannot be created under a volatile one.
    CreateVolatileUserKey(kSfaQvr);

    EXPECT_NE(RunRegsvr32(false), 0u) << "a failed registration is no success";
    EXPECT_FALSE(UserKeyExists(kClassKey));
    EXPECT_EQ(UserTypedValue(kQvm + kShellEx), other);
    EXPECT_FALSE(UserKeyExists(kQvr));
    EXPECT_FALSE(UserKeyExists(kSfaQvm));
    EXPECT_FALSE(UserKeyExists(kSfaQvr + L"\\ShellEx"));
}

TEST_F(RegistrationTest, HandlerRegisteredAfterOursIsLeftAlone) {
    ASSERT_EQ(RunRegsvr32(false), 0u);
    SetUserValue(kQvm + kShellEx, nullptr, kOtherHandler);
    ASSERT_EQ(RunRegsvr32(true), 0u);
    EXPECT_EQ(UserValue(kQvm + kShellEx), kOtherHandler);
    EXPECT_FALSE(UserKeyExists(kQvr));
}

} // namespace
