#include <gtest/gtest.h>

#include <string>

#include "app/instanceName.h"

namespace {
// The name, "(no fit)" when refused; checks that nothing is written past size.
std::wstring Name(const wchar_t* caption, int32_t size = INSTANCE_NAME_SIZE) {
    wchar_t name[INSTANCE_NAME_SIZE + 1];
    for (wchar_t& unit : name) unit = L'#';
    bool fits = InstanceObjectName(caption, name, size);
    EXPECT_EQ(name[size], L'#');
    return fits ? std::wstring(name) : L"(no fit)";
}
}  // namespace

TEST(InstanceName, OneLocalNamePerCaptionWithoutBackslashes) {
    EXPECT_EQ(Name(L"热键精灵"), L"Local\\KeyDeputy instance 热键精灵");
    EXPECT_EQ(Name(L"a\\b/c"), L"Local\\KeyDeputy instance a/bb//c");
    // The escape keeps captions apart that a plain replacement would merge.
    const wchar_t* captions[] = {L"a\\", L"a/b", L"a//", L"a/", L"a\\\\", L"a/bb", L"a\\b", L"A/b"};
    for (const wchar_t* one : captions) {
        for (const wchar_t* other : captions) {
            if (std::wstring(one) == other) continue;
            EXPECT_NE(Name(one), Name(other));
        }
    }
}

TEST(InstanceName, LongestCaptionFitsAndShortBuffersAreRefused) {
    EXPECT_EQ(Name(std::wstring(63, L'\\').c_str()).size(), 25u + 126u);
    EXPECT_EQ(Name(L"abc", 29), L"Local\\KeyDeputy instance abc");
    EXPECT_EQ(Name(L"abc", 28), L"(no fit)");
    EXPECT_EQ(Name(L"a\\", 28), L"(no fit)");
    EXPECT_EQ(Name(L"x", 0), L"(no fit)");
}
