// Nesting depth: the parser's bound and a release that never recurses.
#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <functional>
#include <string>

#include "lib/xmlElementRecord.h"
#include "lib/xmlReader.h"

namespace {

std::wstring Nested(int levels, const wchar_t* open = L"<a>", const wchar_t* close = L"</a>") {
    std::wstring text;
    for (int i = 0; i < levels; ++i) text += open;
    for (int i = 0; i < levels; ++i) text += close;
    return text;
}

// Runs work on a thread with a deliberately small stack.
void OnSmallStack(size_t stackBytes, const std::function<void()>& work) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, stackBytes), 0);
    pthread_t thread;
    auto run = [](void* p) -> void* {
        (*static_cast<const std::function<void()>*>(p))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

int32_t DepthBelow(XmlElement e) {
    int32_t depth = 0;
    while (e.childCount() > 0) {
        e = e.childAt(0);
        ++depth;
    }
    return depth;
}

}  // namespace

TEST(XmlDepth, DeepestAcceptedLevelAndTheOneBelowIt) {
    XmlParseResult result = {XML_OK, -1, -1};
    std::wstring text = Nested(XML_MAX_DEPTH);
    XmlElement root = ParseXmlText(text.c_str(), L"a", &result);
    EXPECT_EQ(result.code, XML_OK);
    EXPECT_EQ(DepthBelow(root), XML_MAX_DEPTH - 1);  // the root is level 1

    text = Nested(XML_MAX_DEPTH + 1);
    root = ParseXmlText(text.c_str(), nullptr, &result);
    EXPECT_EQ(result.code, XML_INVALID_TAG);
    EXPECT_TRUE(root.isEmpty());
    // Noticed just after the name of the refused start tag, the 1001st "<a".
    EXPECT_EQ(result.line, 1);
    EXPECT_EQ(result.column, 3 * XML_MAX_DEPTH + 2 + 1);

    // Declarations nest as well.
    text = Nested(XML_MAX_DEPTH, L"<a>", L"") + L"<?pi?>";
    EXPECT_TRUE(ParseXmlText(text.c_str(), nullptr, &result).isEmpty());
    EXPECT_EQ(result.code, XML_INVALID_TAG);
}

TEST(XmlDepth, HugeNestingIsRefusedQuickly) {
    const int levels = 200000;
    const std::wstring texts[] = {
        Nested(levels),
        Nested(levels, L"<a>", L""),
        Nested(levels, L"<?d?>", L""),  // declarations stay open, so they nest too
        Nested(levels, L"<a><b/>", L"</a>"),
    };
    for (const std::wstring& text : texts) {
        auto start = std::chrono::steady_clock::now();
        XmlParseResult result = {XML_OK, 0, 0};
        XmlElement root = ParseXmlText(text.c_str(), nullptr, &result);
        auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.code, XML_INVALID_TAG);
        EXPECT_TRUE(root.isEmpty());
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 2000);
    }
}

TEST(XmlDepth, DeepestDocumentParsesOnASmallStack) {
    // 256 KiB: well below a main thread's stack, so parsing that recursed per level would show up here.
    std::wstring text = Nested(XML_MAX_DEPTH);
    XmlParseResult result = {XML_NO_DATA, 0, 0};
    int32_t depth = -1;
    OnSmallStack(256 * 1024, [&] {
        XmlElement root = ParseXmlText(text.c_str(), nullptr, &result);
        depth = DepthBelow(root);
    });
    EXPECT_EQ(result.code, XML_OK);
    EXPECT_EQ(depth, XML_MAX_DEPTH - 1);
}

TEST(XmlDepth, ReleasingAnyDepthDoesNotRecurse) {
    // Far deeper than the parser builds: release must cope with whatever a handle holds.
    const int levels = 300000;
    // Built from the bottom up, as the parser builds, each record holding the one below.
    const uint8_t childKind = XML_ORDER_CHILD;
    XmlElementRecord* below = nullptr;
    XmlElement middle;
    for (int i = levels - 1; i >= 0; --i) {
        XmlElementParts parts = {{L"n", 1, 1}, false, &below, below ? 1u : 0u, nullptr, 0, nullptr, 0,
                                 nullptr, 0, &childKind};
        below = BuildXmlElementRecord(parts);
        ASSERT_NE(below, nullptr);
        if (i == levels / 2) {
            ++below->referenceCount;  // the reference middle takes over
            middle = XmlElement::adopt(below);
        }
    }
    XmlElement root = XmlElement::adopt(below);
    EXPECT_EQ(middle.raw()->parent->parent->childCount, 1);
    OnSmallStack(64 * 1024, [&] {
        root.release();  // frees the upper half; the held middle survives detached
        EXPECT_EQ(middle.raw()->parent, nullptr);
        EXPECT_STREQ(middle.name(), L"n");
        middle.release();
    });
    EXPECT_TRUE(root.isEmpty());
    EXPECT_TRUE(middle.isEmpty());
}
