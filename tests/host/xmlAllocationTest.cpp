// Running out of memory at any allocation of a parse is a clean failure.
// This file supplies the reader's allocation functions (the library's own are
// then not linked in) so that a chosen allocation can fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "lib/xmlMemory.h"
#include "lib/xmlReader.h"

namespace {
// Allocations still allowed before every further one fails; negative: no limit.
long AllocationsLeft = -1;

bool AllowAllocation() {
    if (AllocationsLeft < 0) return true;
    if (AllocationsLeft == 0) return false;
    --AllocationsLeft;
    return true;
}
}  // namespace

void* XmlAlloc(size_t bytes) { return AllowAllocation() ? malloc(bytes) : nullptr; }

void* XmlRealloc(void* block, size_t bytes) { return AllowAllocation() ? realloc(block, bytes) : nullptr; }

namespace {

// Everything the document holds, as one text, to compare complete trees.
std::wstring Describe(const XmlElement& e) {
    std::wstring out = e.name() ? e.name() : L"(top)";
    out += e.isDeclaration() ? L"?" : L"";
    for (int32_t i = 0; e.text(i); ++i) out += std::wstring(L" text:") + e.text(i);
    for (const wchar_t* a : {L"k", L"bare", L"v"}) {
        const wchar_t* value = e.attributeValue(a, nullptr);
        if (value) out += std::wstring(L" ") + a + L"=" + value;
    }
    out += L" {";
    for (int32_t i = 0; i < e.childCount(); ++i) out += Describe(e.childAt(i)) + L";";
    return out + L"}";
}

}  // namespace

TEST(XmlAllocation, EveryFailingAllocationGivesACleanFailure) {
    std::wstring text = L"<?xml version=\"1.0\"?><!-- c --><r k=\"&lt;v&gt;\" bare v=1>t&amp;1<a/>";
    for (int i = 0; i < 70; ++i) text += L"<i k=\"" + std::to_wstring(i) + L"\">x</i>";  // past a stack's first block
    text += L"<![CDATA[raw]]>t2<b><c>deep</c></b></r>";

    XmlParseResult result = {XML_OK, 0, 0};
    const std::wstring reference = Describe(ParseXmlText(text.c_str(), L"r", &result));
    ASSERT_EQ(result.code, XML_OK);

    int failures = 0;
    bool completed = false;
    for (long allowed = 0; allowed < 5000 && !completed; ++allowed) {
        AllocationsLeft = allowed;
        result = {XML_OK, 0, 0};
        XmlElement root = ParseXmlText(text.c_str(), L"r", &result);
        AllocationsLeft = -1;
        if (result.code == XML_OK) {
            EXPECT_EQ(Describe(root), reference) << "after " << allowed << " allocations";
            completed = true;
        } else {
            EXPECT_EQ(result.code, XML_OUT_OF_MEMORY) << "after " << allowed << " allocations";
            EXPECT_TRUE(root.isEmpty());
            ++failures;
        }
    }
    EXPECT_TRUE(completed);
    // Every element's record (75 of them) and every stack's growth failed somewhere.
    EXPECT_GE(failures, 75 + 6);
    // Leaks on any of these paths are reported by LeakSanitizer when the tests end.
}

TEST(XmlAllocation, FailureWhileTheOrderListGrowsIsClean) {
    // 302 texts and sections: the scratch order list grows several times within one element.
    std::wstring text = L"<r>";
    for (int i = 0; i < 151; ++i) text += L"t<!---->";
    text += L"</r>";
    long allowed = 0;
    XmlParseResult result = {XML_OK, 0, 0};
    for (; allowed < 2000; ++allowed) {
        AllocationsLeft = allowed;
        XmlElement root = ParseXmlText(text.c_str(), nullptr, &result);
        AllocationsLeft = -1;
        if (result.code == XML_OK) {
            EXPECT_EQ(root.childCount(), 0);
            EXPECT_STREQ(root.text(150), L"t");
            break;
        }
        ASSERT_EQ(result.code, XML_OUT_OF_MEMORY);
    }
    EXPECT_LT(allowed, 2000);
}
