#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/messages.h"
#include "app/reload.h"

namespace {

XmlElement Parse(const std::wstring& body) {
    std::wstring document = L"<KeyDeputy>" + body + L"<菜单><静音>静音</静音></菜单></KeyDeputy>";
    XmlParseResult result = {};
    XmlElement root = ParseXmlText(document.c_str(), KD_ROOT, &result);
    EXPECT_EQ(result.code, XML_OK);
    return root;
}

bool Changed(const std::wstring& running, const std::wstring& loaded) {
    XmlElement a = Parse(running), b = Parse(loaded);
    return StartSettingsChanged(a, b);
}

}  // namespace

TEST(StartSettingsChanged, OnlyWhatActsAtStartNeedsTheNextStart) {
    const std::wstring base = L"<设置><名称>甲</名称><单实例>是</单实例></设置><提示><显示>是</显示></提示>";
    EXPECT_FALSE(Changed(base, base));
    // Each start-only value, changed on its own.
    EXPECT_TRUE(Changed(base, L"<设置><名称>乙</名称><单实例>是</单实例></设置><提示><显示>是</显示></提示>"));
    EXPECT_TRUE(Changed(base, L"<设置><名称>甲</名称></设置><提示><显示>是</显示></提示>"));
    EXPECT_FALSE(Changed(base, base + L"<设置><名称>丙</名称></设置>"));  // a second 设置 is never read
    EXPECT_TRUE(Changed(L"", L"<设置><自启动>是</自启动></设置>"));
    EXPECT_TRUE(Changed(L"", L"<提示><内容>新的</内容></提示>"));
    EXPECT_TRUE(Changed(L"", L"<提示><标题>新的</标题></提示>"));
    // What a reload applies, and values that read the same to the program.
    EXPECT_FALSE(Changed(L"", L"<设置><自动重新加载>是</自动重新加载></设置><语言><退出程序>走？</退出程序></语言>"));
    EXPECT_FALSE(Changed(L"<设置><单实例>yes</单实例></设置>", L"<设置><单实例>否</单实例></设置>"));
    EXPECT_FALSE(Changed(L"", L"<设置><名称>KeyDeputy v2.0</名称></设置>"));
    // Past the 63 characters the caption keeps, a difference changes nothing.
    std::wstring long1(63, L'a'), long2(63, L'a');
    EXPECT_FALSE(Changed(L"<设置><名称>" + long1 + L"x</名称></设置>", L"<设置><名称>" + long2 + L"y</名称></设置>"));
    EXPECT_TRUE(Changed(L"<设置><名称>" + long1 + L"</名称></设置>", L"<设置><名称>" + long2.substr(1) + L"b</名称></设置>"));
}

TEST(ConfigWatch, ASavedFileIsTakenOnceItHasBeenQuietForTheSettleTime) {
    const FileStamp loaded = {true, 100, 1}, half = {true, 10, 2}, full = {true, 120, 3};
    ConfigWatch watch;
    StartWatch(&watch, loaded);
    EXPECT_EQ(WatchWaitMs(watch, 5), WAIT_FOREVER);

    // Another file of the folder changed: nothing to wait for.
    NoteFolderChange(&watch, loaded, 10);
    EXPECT_EQ(WatchWaitMs(watch, 10), WAIT_FOREVER);
    EXPECT_FALSE(WatchSettled(&watch, loaded, 5000));

    // An editor writes in steps; the quiet time counts from the last one.
    NoteFolderChange(&watch, half, 1000);
    EXPECT_EQ(WatchWaitMs(watch, 1100), SETTLE_MS - 100);
    NoteFolderChange(&watch, full, 1200);
    EXPECT_FALSE(WatchSettled(&watch, full, 1000 + SETTLE_MS));
    EXPECT_EQ(WatchWaitMs(watch, 1300), SETTLE_MS - 100);
    // A change that came without its notice yet restarts the quiet time as well.
    const FileStamp later = {true, 130, 4};
    EXPECT_FALSE(WatchSettled(&watch, later, 1200 + SETTLE_MS));
    EXPECT_FALSE(WatchSettled(&watch, later, 1200 + 2 * SETTLE_MS - 1));
    EXPECT_TRUE(WatchSettled(&watch, later, 1200 + 2 * SETTLE_MS));

    // Taken once: more notices for the same file (a refused one) read nothing again.
    EXPECT_FALSE(WatchSettled(&watch, later, 9000));
    NoteFolderChange(&watch, later, 9000);
    EXPECT_EQ(WatchWaitMs(watch, 9000), WAIT_FOREVER);
    // Changed and then written back as it was: nothing to read.
    NoteFolderChange(&watch, full, 10000);
    NoteFolderChange(&watch, later, 10100);
    EXPECT_FALSE(WatchSettled(&watch, later, 10100 + SETTLE_MS));
    EXPECT_EQ(WatchWaitMs(watch, 20000), WAIT_FOREVER);
    // A deleted file is a change too (and its return another).
    NoteFolderChange(&watch, {false, 0, 0}, 30000);
    EXPECT_TRUE(WatchSettled(&watch, {false, 99, 99}, 30000 + SETTLE_MS));
}

TEST(ConfigWatch, QuietTimeSurvivesTheTickCountWrapping) {
    ConfigWatch watch;
    StartWatch(&watch, {true, 1, 1});
    NoteFolderChange(&watch, {true, 2, 2}, 0xFFFFFF00u);
    EXPECT_EQ(WatchWaitMs(watch, 0x10u), SETTLE_MS - 0x110u);
    EXPECT_TRUE(WatchSettled(&watch, {true, 2, 2}, 0xFFFFFF00u + SETTLE_MS));
}

namespace {
int MenusDestroyed = 0;
void CountDestroyed(void* menu) {
    ++MenusDestroyed;
    free(menu);
}

ConfigSet MakeSet() {
    ConfigSet set = {Parse(L""), {}, malloc(8)};
    set.items.push({L"x", nullptr});
    return set;
}
}  // namespace

TEST(RetireConfig, AnOldConfigurationLivesExactlyAsLongAsItIsHeld) {
    MenusDestroyed = 0;
    // Nothing holds it: freed at once (ASan reports any leak).
    ConfigSet unused = MakeSet();
    uint32_t first = CurrentConfigGeneration();
    ASSERT_TRUE(RetireConfig(unused, CountDestroyed));
    EXPECT_EQ(MenusDestroyed, 1);
    EXPECT_EQ(RetiredConfigCount(), 0);
    EXPECT_NE(CurrentConfigGeneration(), first);
    EXPECT_EQ(unused.items.items, nullptr);

    // A command running on generation A while two reloads happen, the second inside
    // a command of generation B: each is freed when its own last hold ends.
    ConfigSet a = MakeSet();
    uint32_t holdA = HoldConfig();
    uint32_t holdA2 = HoldConfig();
    ASSERT_TRUE(RetireConfig(a, CountDestroyed));
    ReleaseConfig(holdA2);
    ConfigSet b = MakeSet();
    uint32_t holdB = HoldConfig();
    EXPECT_NE(holdB, holdA);
    ASSERT_TRUE(RetireConfig(b, CountDestroyed));
    EXPECT_EQ(RetiredConfigCount(), 2);
    EXPECT_EQ(MenusDestroyed, 1);
    ReleaseConfig(holdA);
    EXPECT_EQ(RetiredConfigCount(), 1);
    EXPECT_EQ(MenusDestroyed, 2);
    ReleaseConfig(holdB);
    EXPECT_EQ(RetiredConfigCount(), 0);
    EXPECT_EQ(MenusDestroyed, 3);

    // A hold of the current generation ends without freeing what is still in use.
    uint32_t current = HoldConfig();
    ReleaseConfig(current);
    ReleaseConfig(current);  // one release too many changes nothing
    EXPECT_EQ(MenusDestroyed, 3);
}
