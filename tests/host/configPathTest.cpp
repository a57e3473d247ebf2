#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/configPath.h"

namespace {

// The derived path as a string, or "<null>" when there is none.
std::wstring Derived(const wchar_t* modulePath) {
    wchar_t* path = ConfigPathFromModulePath(modulePath);
    if (!path) return L"<null>";
    std::wstring result(path);
    free(path);
    return result;
}

}  // namespace

TEST(ConfigPath, LastThreeCharactersBecomeXml) {
    EXPECT_EQ(Derived(L"C:\\A\\B.EXE"), L"C:\\A\\B.xml");
    EXPECT_EQ(Derived(L"D:\\Tools\\hotkeys.exe"), L"D:\\Tools\\hotkeys.xml");
    EXPECT_EQ(Derived(L"C:\\工具\\热键.exe"), L"C:\\工具\\热键.xml");
    // Characters are counted; no dot is looked for.
    EXPECT_EQ(Derived(L"C:\\A\\program"), L"C:\\A\\progxml");
    EXPECT_EQ(Derived(L"C:\\A\\B.cr2x"), L"C:\\A\\B.cxml");
    EXPECT_EQ(Derived(L"exe"), L"xml");
}

TEST(ConfigPath, PathsTooShortGiveNone) {
    EXPECT_EQ(Derived(L"ab"), L"<null>");
    EXPECT_EQ(Derived(L""), L"<null>");
    EXPECT_EQ(Derived(nullptr), L"<null>");
}

TEST(ConfigPath, LongPathIsNotCut) {
    std::wstring module = L"\\\\?\\C:\\" + std::wstring(40000, L'd') + L"\\KeyDeputy.exe";
    std::wstring expected = module.substr(0, module.size() - 3) + L"xml";
    EXPECT_EQ(Derived(module.c_str()), expected);
}
