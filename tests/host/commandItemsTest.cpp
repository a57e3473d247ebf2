#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/actionHandlers.h"
#include "menu/commandItems.h"

namespace {

class CommandItemsTest : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 25; ++i) names.push_back(L"cmd" + std::to_wstring(i));
        ASSERT_TRUE(InitCommandItems());
    }
    // The records keep the pointers, so the names live as long as the fixture.
    const wchar_t* CommandName(int i) const { return names.at(size_t(i)).c_str(); }

    std::vector<std::wstring> names;
};

}  // namespace

TEST_F(CommandItemsTest, StartsWithRoomForTen) {
    EXPECT_EQ(CommandItems.count, 0);
    EXPECT_EQ(CommandItems.capacity, 10);
    EXPECT_NE(CommandItems.items, nullptr);
}

TEST_F(CommandItemsTest, DoublesKeepingEveryRecord) {
    const int expectedCapacity[] = {10, 10, 20, 20, 40};  // after 1, 10, 11, 20, 21 records
    const int counts[] = {1, 10, 11, 20, 21};
    int appended = 0;
    for (int step = 0; step < 5; ++step) {
        for (; appended < counts[step]; ++appended) {
            if (appended == 3) CommandItems.items[2].handler = VolumeMute;  // a stored handler must survive growth
            ASSERT_TRUE(AppendCommandItem(CommandItems, CommandName(appended)));
        }
        EXPECT_EQ(CommandItems.count, counts[step]);
        EXPECT_EQ(CommandItems.capacity, expectedCapacity[step]);
    }
    for (int i = 0; i < CommandItems.count; ++i) {
        EXPECT_STREQ(CommandItems.items[i].command, CommandName(i));
        EXPECT_EQ(CommandItems.items[i].handler, i == 2 ? VolumeMute : nullptr) << i;
    }
}

TEST_F(CommandItemsTest, LongListGrowsInFewSteps) {
    // Every growth copies the whole list; a long menu must not grow it item by item.
    const int total = 20000;
    int growths = 0;
    for (int i = 0; i < total; ++i) {
        int32_t before = CommandItems.capacity;
        ASSERT_TRUE(AppendCommandItem(CommandItems, L"x"));
        if (CommandItems.capacity != before) ++growths;
    }
    EXPECT_LE(growths, 11);  // 10 * 2^11 = 20480
    EXPECT_LT(CommandItems.capacity, 2 * total);
    EXPECT_STREQ(CommandItems.items[total - 1].command, L"x");
}

TEST_F(CommandItemsTest, LongestCommandKeptWholeLongerOneRefused) {
    std::wstring longest(COMMAND_TEXT_MAX, L'a');
    longest[0] = L'C';
    longest.back() = L'z';
    ASSERT_TRUE(AppendCommandItem(CommandItems, longest.c_str()));
    EXPECT_EQ(std::wstring(CommandItems.items[0].command), longest);

    std::wstring tooLong(COMMAND_TEXT_MAX + 1, L'b');
    EXPECT_FALSE(AppendCommandItem(CommandItems, tooLong.c_str()));
    EXPECT_FALSE(AppendCommandItem(CommandItems, nullptr));
    EXPECT_EQ(CommandItems.count, 1);
}

TEST_F(CommandItemsTest, ReserveGrowsOnlyWhenFull) {
    EXPECT_TRUE(CommandItems.reserve(1));
    EXPECT_EQ(CommandItems.capacity, 10);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(AppendCommandItem(CommandItems, CommandName(i)));
    EXPECT_EQ(CommandItems.capacity, 10);
    EXPECT_TRUE(CommandItems.reserve(1));
    EXPECT_EQ(CommandItems.capacity, 20);
    EXPECT_TRUE(CommandItems.reserve(1));
    EXPECT_EQ(CommandItems.capacity, 20);
    EXPECT_EQ(CommandItems.count, 10);
    EXPECT_EQ(std::wstring(CommandItems.items[9].command), L"cmd9");
}

TEST_F(CommandItemsTest, SecondInitStartsAnEmptyList) {
    for (int i = 0; i < 15; ++i) ASSERT_TRUE(AppendCommandItem(CommandItems, CommandName(i)));
    ASSERT_TRUE(InitCommandItems());
    EXPECT_EQ(CommandItems.count, 0);
    EXPECT_EQ(CommandItems.capacity, 10);
    ASSERT_TRUE(AppendCommandItem(CommandItems, L"again"));
    EXPECT_EQ(std::wstring(CommandItems.items[0].command), L"again");
}

TEST_F(CommandItemsTest, ShellSettingsBelongToTheirOwnItemOnly) {
    // Items with 参数 or 起始位置 among many without; the lookup must find each by its
    // index, across growth, and nothing for the others.
    for (int i = 0; i < 25; ++i) {
        const wchar_t* parameters = i % 7 == 3 ? CommandName(24 - i) : nullptr;
        const wchar_t* folder = i % 5 == 0 ? CommandName(i) : nullptr;
        ASSERT_TRUE(AppendCommandItem(CommandItems, CommandName(i), parameters, folder));
    }
    for (int i = 0; i < 25; ++i) {
        const wchar_t* parameters = L"unset";
        const wchar_t* folder = L"unset";
        FindShellSettings(CommandItems, i, &parameters, &folder);
        EXPECT_EQ(parameters, i % 7 == 3 ? CommandName(24 - i) : nullptr) << i;
        EXPECT_EQ(folder, i % 5 == 0 ? CommandName(i) : nullptr) << i;
    }
    const wchar_t* parameters = L"unset";
    const wchar_t* folder = L"unset";
    FindShellSettings(CommandItems, 25, &parameters, &folder);
    EXPECT_EQ(folder, nullptr);
    // A new list forgets the old one's settings.
    ASSERT_TRUE(InitCommandItems());
    ASSERT_TRUE(AppendCommandItem(CommandItems, CommandName(0)));
    FindShellSettings(CommandItems, 0, &parameters, &folder);
    EXPECT_EQ(folder, nullptr);
}
