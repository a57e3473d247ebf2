// Facts about the platform the rest of the Windows tests rely on.
#include <gtest/gtest.h>
#include <windows.h>
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
