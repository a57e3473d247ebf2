#include <gtest/gtest.h>

#include <string>

#include "app/configLookup.h"
#include "app/messages.h"

namespace {

class ConfigLookupTest : public testing::Test {
protected:
    void Load(const std::wstring& document) {
        XmlParseResult result = {};
        ConfigRoot = ParseXmlText(document.c_str(), KD_ROOT, &result);
        ASSERT_EQ(result.code, XML_OK);
        ASSERT_FALSE(ConfigRoot.isEmpty());
    }
    void TearDown() override { ConfigRoot.release(); }

    static std::wstring Caption() {
        LoadAppCaption();
        return AppCaption;
    }
};

const wchar_t HIGH = wchar_t(0xD83D);
const wchar_t LOW = wchar_t(0xDE00);

}  // namespace

TEST_F(ConfigLookupTest, NothingLoadedGivesEveryDefault) {
    EXPECT_STREQ(ConfigText(KD_SECTION_SETTINGS, KD_KEY_NAME, KD_DEFAULT_CAPTION), KD_DEFAULT_CAPTION);
    EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE));
    EXPECT_EQ(Caption(), KD_DEFAULT_CAPTION);
}

TEST_F(ConfigLookupTest, MenuOnlyDocumentRunsOnDefaults) {
    Load(L"<KeyDeputy><菜单><静音>静音</静音></菜单></KeyDeputy>");
    const wchar_t* def = L"default";
    EXPECT_EQ(ConfigText(KD_SECTION_SETTINGS, KD_KEY_NAME, def), def);  // the default itself
    EXPECT_EQ(Caption(), KD_DEFAULT_CAPTION);
    EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE));
    EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_AUTOSTART));
    EXPECT_FALSE(ConfigFlag(KD_SECTION_TIP, KD_KEY_TIP_SHOW));
    EXPECT_STREQ(ConfigText(KD_SECTION_TIP, KD_KEY_TIP_TEXT, KD_DEFAULT_TIP_TEXT), KD_DEFAULT_TIP_TEXT);
    EXPECT_STREQ(MessageText(KD_MSG_EXIT, KD_MSG_EXIT_TEXT), KD_MSG_EXIT_TEXT);
    EXPECT_STREQ(MessageText(KD_MSG_HOTKEY, KD_MSG_HOTKEY_TEXT), KD_MSG_HOTKEY_TEXT);
}

TEST_F(ConfigLookupTest, YesIsExactlyTheOneWord) {
    Load(L"<KeyDeputy><设置>"
         L"<单实例>\n   是  \n</单实例>"
         L"<a>是</a><b>yes</b><c>1</c><d>是的</d><e>否</e><f></f><g/><h>Yes</h><i>&#26159;</i>"
         L"</设置><菜单/></KeyDeputy>");
    EXPECT_TRUE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE));  // white space around it is trimmed
    EXPECT_TRUE(ConfigFlag(KD_SECTION_SETTINGS, L"a"));
    EXPECT_TRUE(ConfigFlag(KD_SECTION_SETTINGS, L"i"));  // a character reference to 是
    for (const wchar_t* key : {L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"missing"})
        EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, key)) << testing::PrintToString(std::wstring(key));
    EXPECT_FALSE(ConfigFlag(L"无此节", KD_KEY_SINGLE_INSTANCE));
}

TEST_F(ConfigLookupTest, OnlyFirstTextBlocksOfChildElementsAreValues) {
    Load(L"<KeyDeputy>"
         L"<设置 名称=\"属性名\" 单实例=\"是\">"
         L"<自启动><![CDATA[是]]></自启动>"
         L"<单实例><!-- 是 --></单实例>"
         L"<两段>前<x/>后</两段>"
         L"</设置><菜单/></KeyDeputy>");
    // Attributes of a section are not settings.
    EXPECT_EQ(Caption(), KD_DEFAULT_CAPTION);
    EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE));
    // A raw section is not a text block.
    EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_AUTOSTART));
    EXPECT_STREQ(ConfigText(KD_SECTION_SETTINGS, L"两段", L"def"), L"前");
}

TEST_F(ConfigLookupTest, FirstSectionAndFirstKeyWin) {
    Load(L"<KeyDeputy>"
         L"<设置><名称>第一</名称><名称>第二</名称></设置>"
         L"<设置><单实例>是</单实例><自启动>是</自启动></设置>"
         L"<菜单/></KeyDeputy>");
    EXPECT_EQ(Caption(), L"第一");
    EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE));
    EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_AUTOSTART));
}

TEST_F(ConfigLookupTest, EmptyNameGivesTheDefaultCaption) {
    Load(L"<KeyDeputy><设置><名称>   </名称></设置><菜单/></KeyDeputy>");
    EXPECT_EQ(Caption(), KD_DEFAULT_CAPTION);
    Load(L"<KeyDeputy><设置><名称></名称></设置><菜单/></KeyDeputy>");
    EXPECT_EQ(Caption(), KD_DEFAULT_CAPTION);
    Load(L"<KeyDeputy><设置><名称>我的热键</名称></设置><菜单/></KeyDeputy>");
    EXPECT_EQ(Caption(), L"我的热键");
}

TEST_F(ConfigLookupTest, LongNameIsCutToSixtyThreeCharacters) {
    std::wstring exact(APP_CAPTION_SIZE - 1, L'名');
    Load(L"<KeyDeputy><设置><名称>" + exact + L"</名称></设置><菜单/></KeyDeputy>");
    EXPECT_EQ(Caption(), exact);

    std::wstring longer(100, L'n');
    longer[62] = L'x';
    Load(L"<KeyDeputy><设置><名称>" + longer + L"</名称></设置><菜单/></KeyDeputy>");
    EXPECT_EQ(Caption(), longer.substr(0, 63));

    // The 63rd and 64th units are one character: it is dropped whole.
    std::wstring paired = std::wstring(62, L'p') + HIGH + LOW + L"tail";
    Load(L"<KeyDeputy><设置><名称>" + paired + L"</名称></设置><菜单/></KeyDeputy>");
    EXPECT_EQ(Caption(), std::wstring(62, L'p'));
}

TEST_F(ConfigLookupTest, MessageOverrides) {
    Load(L"<KeyDeputy><设置><自启动>是</自启动></设置><菜单/>"
         L"<语言>"
         L"<热键注册>%s 不能用</热键注册>"
         L"<退出程序>\n    真的退出？\n    %s\n  </退出程序>"
         L"<分辨率></分辨率>"
         L"<自启动>临时文件夹警告</自启动>"
         L"</语言></KeyDeputy>");
    EXPECT_STREQ(MessageText(KD_MSG_HOTKEY, KD_MSG_HOTKEY_TEXT), L"%s 不能用");
    std::wstring exitText = MessageText(KD_MSG_EXIT, KD_MSG_EXIT_TEXT);
    EXPECT_EQ(exitText.front(), L'真');  // white space around the text is not shown
    EXPECT_EQ(exitText.back(), L's');
    EXPECT_NE(exitText.find(L"？\n"), std::wstring::npos);  // inner line break kept
    EXPECT_STREQ(MessageText(KD_MSG_RESOLUTION, KD_MSG_RESOLUTION_TEXT), KD_MSG_RESOLUTION_TEXT);
    EXPECT_STREQ(MessageText(KD_MSG_SHUTDOWN, KD_MSG_SHUTDOWN_TEXT), KD_MSG_SHUTDOWN_TEXT);
    // One key, two roles.
    EXPECT_TRUE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_AUTOSTART));
    EXPECT_STREQ(MessageText(KD_MSG_AUTOSTART, KD_MSG_AUTOSTART_TEXT), L"临时文件夹警告");
}

TEST_F(ConfigLookupTest, NullNamesGiveTheDefault) {
    Load(L"<KeyDeputy><设置><名称>x</名称></设置><菜单/></KeyDeputy>");
    EXPECT_STREQ(ConfigText(nullptr, KD_KEY_NAME, L"d"), L"d");
    EXPECT_STREQ(ConfigText(KD_SECTION_SETTINGS, nullptr, L"d"), L"d");
}
