#include <gtest/gtest.h>

#include <string>

#include "app/instanceName.h"

namespace {
std::wstring Name(const wchar_t* caption, int32_t size = INSTANCE_NAME_SIZE) {
    wchar_t name[INSTANCE_NAME_SIZE + 8];
    for (wchar_t& unit : name) unit = L'#';
    if (!InstanceObjectName(caption, name, size)) return L"(no fit) " + std::wstring(name);
    EXPECT_EQ(name[size], L'#') << "written past the size";
    return name;
}
}  // namespace

TEST(InstanceName, OneLocalNamePerCaption) {
    EXPECT_EQ(Name(L"KeyDeputy v2.0"), L"Local\\KeyDeputy instance KeyDeputy v2.0");
    EXPECT_EQ(Name(L"热键精灵"), L"Local\\KeyDeputy instance 热键精灵");
    EXPECT_EQ(Name(L""), L"Local\\KeyDeputy instance ");
    EXPECT_NE(Name(L"a"), Name(L"A"));  // captions differ in case, so do the windows
}

TEST(InstanceName, NoBackslashAfterTheNamespaceAndNoTwoCaptionsShareAName) {
    std::wstring slashed = Name(L"a\\b/c");
    EXPECT_EQ(slashed, L"Local\\KeyDeputy instance a/bb//c");
    EXPECT_EQ(slashed.find(L'\\', 6), std::wstring::npos);
    const wchar_t* captions[] = {L"a\\", L"a/b", L"a//", L"a/", L"a\\\\", L"a/bb", L"a\\b"};
    for (const wchar_t* one : captions) {
        for (const wchar_t* other : captions) {
            if (std::wstring(one) == other) continue;
            EXPECT_NE(Name(one), Name(other));
        }
    }
}

TEST(InstanceName, LongestCaptionFitsAndShortBuffersAreRefused) {
    std::wstring longest(63, L'\\');
    std::wstring name = Name(longest.c_str());
    EXPECT_EQ(name.size(), 25u + 126u);
    EXPECT_EQ(Name(L"abc", 29), L"Local\\KeyDeputy instance abc");
    EXPECT_EQ(Name(L"abc", 28), L"(no fit) ");
    EXPECT_EQ(Name(L"a\\", 28), L"(no fit) ");
    wchar_t none[1] = {L'#'};
    EXPECT_FALSE(InstanceObjectName(L"x", none, 0));
    EXPECT_EQ(none[0], L'#');
}
