// The shipped examples/KeyDeputy.xml through the platform's own file path: IsTextUnicode
// must not take the UTF-8 bytes for UTF-16, and the Chinese keys must match once decoded.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "app/configLookup.h"
#include "app/messages.h"
#include "lib/xmlReader.h"
#include "tests/windows/testSupport.h"

namespace {

std::wstring SampleConfigPath() { return LinuxFilePath(KD_SOURCE_DIR "/examples/KeyDeputy.xml"); }

std::wstring FileAsUtf8(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    CloseHandle(file);
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(read), text.data(), int(text.size())));
    return text;
}

}  // namespace

TEST(SampleConfigLoad, ReadAsUtf8WithTheProgramsSettings) {
    const std::wstring path = SampleConfigPath();
    const std::wstring utf8 = FileAsUtf8(path);
    ASSERT_FALSE(utf8.empty()) << "cannot read the sample at the Z: path";

    const bool savedUtf8Input = ReaderSettings.utf8Input;
    ReaderSettings.utf8Input = false;  // as the program loads its configuration
    XmlParseResult result = {};
    ConfigRoot = ParseXmlFile(path.c_str(), KD_ROOT, &result);
    ReaderSettings.utf8Input = savedUtf8Input;
    ASSERT_EQ(result.code, XML_OK) << "line " << result.line << " column " << result.column;

    // Chinese section and key names matched, so the flags and texts come from the file.
    EXPECT_TRUE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE));
    EXPECT_TRUE(ConfigFlag(KD_SECTION_TIP, KD_KEY_TIP_SHOW));
    const std::wstring exitText = MessageText(KD_MSG_EXIT, KD_MSG_EXIT_TEXT);
    EXPECT_NE(exitText, KD_MSG_EXIT_TEXT);
    EXPECT_NE(utf8.find(L">" + exitText + L"<"), std::wstring::npos) << "the override decoded differently";
    XmlElement menu = ConfigRoot.childByName(KD_SECTION_MENU, nullptr);
    EXPECT_GT(menu.childCount(), 5);
    ConfigRoot.release();
}
