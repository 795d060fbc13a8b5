#include <gtest/gtest.h>

#include "ScratchRegistry.h"
#include "common/RestoreGuards.h"
#include "product/RegistryClass.h"

namespace promo {
namespace {

using test::ScratchKey;

bool OpensWith(const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

TEST(RegistryReader, StartsAtTheUserRootWithNothingOpen) {
    RegistryReader reader;
    EXPECT_EQ(reader.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(reader.CurrentKey(), nullptr);
    EXPECT_EQ(reader.CurrentPath(), L"");
    EXPECT_EQ(reader.Access(), static_cast<DWORD>(KEY_ALL_ACCESS));
    EXPECT_TRUE(reader.LazyWrite());
}

TEST(RegistryReader, OpensWithTheFirstAccessMaskTheKeyAllows) {
    ScratchKey scratch;
    scratch.CreateSubKey(L"Open");
    scratch.CreateSubKey(L"NoNotify");
    scratch.CreateSubKey(L"QueryOnly");
    scratch.CreateSubKey(L"Nothing");
    // 0x20009 = read control, query values, enumerate sub-keys (no notify).
    scratch.Restrict(L"NoNotify", L"D:P(A;;0x30009;;;WD)");
    scratch.Restrict(L"QueryOnly", L"D:P(A;;0x10001;;;WD)");
    scratch.Restrict(L"Nothing", L"D:P(A;;0x10000;;;WD)");
    if (OpensWith(scratch.Path() + L"\\QueryOnly", KEY_READ))
        GTEST_SKIP() << "this system does not enforce registry key access lists";

    RegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(scratch.Path() + L"\\Open"));
    EXPECT_EQ(reader.Access(), static_cast<DWORD>(KEY_READ));
    ASSERT_TRUE(reader.OpenKeyReadOnly(L"\\" + scratch.Path() + L"\\NoNotify"));
    EXPECT_EQ(reader.Access(), 0x20009u);
    ASSERT_TRUE(reader.OpenKeyReadOnly(L"\\" + scratch.Path() + L"\\QueryOnly"));
    EXPECT_EQ(reader.Access(), static_cast<DWORD>(KEY_QUERY_VALUE));
    EXPECT_EQ(reader.CurrentPath(), scratch.Path() + L"\\QueryOnly");

    // Refused with every mask: nothing changes.
    const HKEY before = reader.CurrentKey();
    EXPECT_FALSE(reader.OpenKeyReadOnly(L"\\" + scratch.Path() + L"\\Nothing"));
    EXPECT_EQ(reader.CurrentKey(), before);
    EXPECT_EQ(reader.CurrentPath(), scratch.Path() + L"\\QueryOnly");
    EXPECT_EQ(reader.Access(), static_cast<DWORD>(KEY_QUERY_VALUE));
}

TEST(RegistryReader, ResolvesRelativeAndAbsolutePaths) {
    ScratchKey scratch;
    scratch.CreateSubKey(L"A\\B\\C");
    RegistryReader reader;

    ASSERT_TRUE(reader.OpenKeyReadOnly(scratch.Path()));  // relative, nothing open: under the root
    EXPECT_EQ(reader.CurrentPath(), scratch.Path());
    ASSERT_TRUE(reader.OpenKeyReadOnly(L"A"));  // relative to the open key
    EXPECT_EQ(reader.CurrentPath(), scratch.Path() + L"\\A");
    ASSERT_TRUE(reader.OpenKeyReadOnly(L"B\\C"));
    EXPECT_EQ(reader.CurrentPath(), scratch.Path() + L"\\A\\B\\C");
    // Absolute: under the root again, without the leading separator.
    ASSERT_TRUE(reader.OpenKeyReadOnly(L"\\" + scratch.Path() + L"\\A"));
    EXPECT_EQ(reader.CurrentPath(), scratch.Path() + L"\\A");
    // The scratch path taken relative to the open key does not exist.
    EXPECT_FALSE(reader.OpenKeyReadOnly(scratch.Path()));
    EXPECT_EQ(reader.CurrentPath(), scratch.Path() + L"\\A");

    reader.CloseKey();
    EXPECT_EQ(reader.CurrentKey(), nullptr);
    EXPECT_EQ(reader.CurrentPath(), L"");
}

TEST(RegistryReader, ChangingTheRootClosesTheOpenKey) {
    ScratchKey scratch;
    RegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(scratch.Path()));
    reader.SetRootKey(HKEY_CURRENT_USER);  // same root: stays open
    EXPECT_NE(reader.CurrentKey(), nullptr);
    reader.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reader.CurrentKey(), nullptr);
    EXPECT_EQ(reader.CurrentPath(), L"");
    EXPECT_FALSE(reader.OpenKeyReadOnly(scratch.Path()));  // the user's key is not under HKLM
}

TEST(RegistryReader, ReadStringTakesTextAsStored) {
    ScratchKey scratch;
    scratch.SetString(L"Plain", L"C:\\Program Files\\Pellorin");
    scratch.SetString(L"Expand", L"%ProgramFiles%\\Pellorin", REG_EXPAND_SZ);
    const std::wstring unterminated = L"no terminator";
    scratch.SetRaw(L"Unterminated", REG_SZ, unterminated.data(), static_cast<DWORD>(unterminated.size() * 2));
    const wchar_t embedded[] = L"first\0second";
    scratch.SetRaw(L"Embedded", REG_SZ, embedded, sizeof embedded);
    scratch.SetRaw(L"Empty", REG_SZ, L"", 0);

    RegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(scratch.Path()));
    EXPECT_EQ(reader.ReadString(L"Plain"), L"C:\\Program Files\\Pellorin");
    EXPECT_EQ(reader.ReadString(L"plain"), L"C:\\Program Files\\Pellorin");
    EXPECT_EQ(reader.ReadString(L"Expand"), L"%ProgramFiles%\\Pellorin");
    EXPECT_EQ(reader.ReadString(L"Unterminated"), L"no terminator");
    EXPECT_EQ(reader.ReadString(L"Embedded"), L"first");
    EXPECT_EQ(reader.ReadString(L"Empty"), L"");
    EXPECT_EQ(reader.ReadString(L"Missing"), L"");
}

TEST(RegistryReader, ReadStringRaisesOnOtherTypes) {
    ScratchKey scratch;
    scratch.SetDword(L"Number", 7);
    const BYTE bytes[] = {1, 2, 3};
    scratch.SetRaw(L"Binary", REG_BINARY, bytes, sizeof bytes);
    RegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(scratch.Path()));
    try {
        reader.ReadString(L"Number");
        ADD_FAILURE() << "no error for a REG_DWORD";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), L"Invalid data type for 'Number'");
    }
    EXPECT_THROW(reader.ReadString(L"Binary"), ERegistryException);
}

TEST(RegistryReader, ReadNumberWidensDwordsWithTheirSign) {
    ScratchKey scratch;
    scratch.SetDword(L"AllOnes", 0xFFFFFFFFu);
    scratch.SetDword(L"Small", 96);
    scratch.SetQword(L"Big", 1ull << 32);
    scratch.SetQword(L"NegativeQ", ~0ull);
    RegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(scratch.Path()));
    EXPECT_EQ(reader.ReadNumber(L"AllOnes"), -1);
    EXPECT_EQ(reader.ReadNumber(L"Small"), 96);
    EXPECT_EQ(reader.ReadNumber(L"Big"), 4294967296LL);
    EXPECT_EQ(reader.ReadNumber(L"NegativeQ"), -1);
}

std::wstring ReadNumberMessage(RegistryReader& reader, const std::wstring& name) {
    try {
        reader.ReadNumber(name);
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return L"(no error)";
}

TEST(RegistryReader, ReadNumberNamesTheFailureInItsMessage) {
    ScratchKey scratch;
    scratch.SetString(L"Text", L"96");
    const BYTE four[] = {1, 0, 0, 0};
    scratch.SetRaw(L"Binary", REG_BINARY, four, sizeof four);
    RegistryReader reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(scratch.Path()));
    EXPECT_EQ(ReadNumberMessage(reader, L"AppliedDPI"),
              L"Invalid data type for 'AppliedDPI_query Info failed2'");
    EXPECT_EQ(ReadNumberMessage(reader, L"Text"), L"Invalid data type for 'Text_type failed1'");
    EXPECT_EQ(ReadNumberMessage(reader, L"Binary"), L"Invalid data type for 'Binary_type failed3'");
}

// The product's uninstall record in the 32-bit view of HKLM, which is what
// this 32-bit program sees without view flags. A real one is put back after
// each test.
class ProductProgramFolderTest : public testing::Test {
protected:
    void SetUp() override { test::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallRecord); }
    void TearDown() override { test::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallRecord); }
    test::ScopedRegistryKeyRestore record_{HKEY_LOCAL_MACHINE, kUninstallRecord};
    void Set(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
        test::SetRegistryString(HKEY_LOCAL_MACHINE, kUninstallRecord, name, text, type);
    }
};

TEST_F(ProductProgramFolderTest, IsEmptyWithoutTheRecord) { EXPECT_EQ(ProductProgramFolder(), L""); }

TEST_F(ProductProgramFolderTest, JoinsLocationAndVersionWithOneSeparator) {
    Set(L"InstallLocation", L"C:\\Program Files (x86)\\Pellorin");
    Set(L"DisplayVersion", L"7.6.0.1");
    EXPECT_EQ(ProductProgramFolder(), L"C:\\Program Files (x86)\\Pellorin\\7.6.0.1");
    Set(L"InstallLocation", L"C:\\Program Files (x86)\\Pellorin\\");
    EXPECT_EQ(ProductProgramFolder(), L"C:\\Program Files (x86)\\Pellorin\\7.6.0.1");
    Set(L"InstallLocation", L"%ProgramFiles%\\Pellorin", REG_EXPAND_SZ);
    EXPECT_EQ(ProductProgramFolder(), L"%ProgramFiles%\\Pellorin\\7.6.0.1");

    // The record really is in the 32-bit view.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallRecord, 0, KEY_READ | KEY_WOW64_32KEY, &key),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

TEST_F(ProductProgramFolderTest, KeepsWhatWasReadBeforeAFailure) {
    Set(L"DisplayVersion", L"7.6.0.1");
    EXPECT_EQ(ProductProgramFolder(), L"\\7.6.0.1");  // missing location still gets its separator

    Set(L"InstallLocation", L"C:\\Pellorin");
    const DWORD number = 7;
    test::SetRegistryValue(HKEY_LOCAL_MACHINE, kUninstallRecord, L"DisplayVersion", REG_DWORD, &number,
                           sizeof number);
    EXPECT_EQ(ProductProgramFolder(), L"C:\\Pellorin\\");

    test::SetRegistryValue(HKEY_LOCAL_MACHINE, kUninstallRecord, L"InstallLocation", REG_DWORD, &number,
                           sizeof number);
    EXPECT_EQ(ProductProgramFolder(), L"");
}

}  // namespace
}  // namespace promo
