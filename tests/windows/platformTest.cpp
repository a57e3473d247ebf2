// Facts about the platform the rest of the Windows tests rely on.
#include <gtest/gtest.h>
#include <windows.h>
#include "platform/systemError.h"
#include "tests/windows/testSupport.h"

TEST(Platform, ChineseAnsiCodePage) {
    EXPECT_EQ(GetACP(), 936u);
}

KD_CHILD_MODE(ChildShowsBox, L"showbox") {
    int answer = MessageBoxW(nullptr, arg, L"kdtest box", MB_YESNO | MB_ICONQUESTION);
    return answer == IDYES ? 7 : 8;
}

TEST(Platform, ChildMessageBoxIsReadAndAnswered) {
    HANDLE child = StartChild(L"showbox", L"你好 box");
    ASSERT_NE(child, nullptr);
    HWND box = WaitForBox(L"kdtest box", GetProcessId(child), 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), L"你好 box");
    EXPECT_TRUE(BoxHasButton(box, IDNO));
    EXPECT_TRUE(AnswerBox(box, IDYES));
    EXPECT_EQ(WaitChild(child, 10000), 7);
    CloseHandle(child);
}

// The reason a failure box gives: the system's words on one line, or the number.
TEST(Platform, SystemErrorTextIsOneLineOrTheNumber) {
    wchar_t reason[512];
    SystemErrorText(ERROR_FILE_NOT_FOUND, reason, 512);
    size_t length = wcslen(reason);
    ASSERT_GT(length, 0u);
    EXPECT_NE(reason[length - 1], L'\n');
    EXPECT_NE(reason[length - 1], L'\r');
    EXPECT_NE(reason[length - 1], L' ');
    SystemErrorText(0x2FFFFFFF, reason, 512);
    EXPECT_STREQ(reason, L"805306367");
    wchar_t small[12];
    SystemErrorText(ERROR_FILE_NOT_FOUND, small, 12);
    EXPECT_LT(wcslen(small), 12u);
}
