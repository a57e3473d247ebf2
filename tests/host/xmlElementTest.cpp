// Handles and queries of the element tree.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "lib/xmlElementRecord.h"
#include "lib/xmlReader.h"

namespace {

XmlElement Parse(const wchar_t* text) {
    XmlParseResult result = {XML_OK, 0, 0};
    XmlElement root = ParseXmlText(text, nullptr, &result);
    EXPECT_EQ(result.code, XML_OK) << "parsing " << testing::PrintToString(text);
    return root;
}

int32_t References(const XmlElement& e) { return e.raw() ? e.raw()->referenceCount : 0; }

}  // namespace

TEST(XmlElementEmpty, EveryQueryAnswersNothing) {
    XmlElement empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.name(), nullptr);
    EXPECT_EQ(empty.childCount(), 0);
    EXPECT_TRUE(empty.childAt(0).isEmpty());
    EXPECT_TRUE(empty.childByName(L"a", nullptr).isEmpty());
    EXPECT_EQ(empty.attributeValue(L"a", nullptr), nullptr);
    EXPECT_EQ(empty.text(0), nullptr);
    EXPECT_FALSE(empty.isDeclaration());
    EXPECT_TRUE(XmlElement::emptyElement.isEmpty());

    int32_t position = 3;
    EXPECT_TRUE(empty.childByName(L"a", &position).isEmpty());
    EXPECT_EQ(position, 3);

    // Chained lookups through a missing section end in null without failing.
    XmlElement config = Parse(L"<KeyDeputy><设置><名称>x</名称></设置></KeyDeputy>");
    EXPECT_EQ(config.childByName(L"提示", nullptr).childByName(L"内容", nullptr).text(0), nullptr);
    EXPECT_STREQ(config.childByName(L"设置", nullptr).childByName(L"名称", nullptr).text(0), L"x");
}

TEST(XmlElementLookup, NamesFoldOnlyAsciiAndMatchWhole) {
    XmlElement root = Parse(L"<r KEY=\"v\"><Settings/><设置>cn</设置><\u00C4/></r>");
    EXPECT_STREQ(root.childByName(L"settings", nullptr).name(), L"Settings");
    EXPECT_STREQ(root.childByName(L"SETTINGS", nullptr).name(), L"Settings");
    EXPECT_TRUE(root.childByName(L"Setting", nullptr).isEmpty());
    EXPECT_TRUE(root.childByName(L"Settingsx", nullptr).isEmpty());
    EXPECT_STREQ(root.attributeValue(L"key", nullptr), L"v");
    EXPECT_EQ(root.attributeValue(L"ke", nullptr), nullptr);
    EXPECT_STREQ(root.childByName(L"设置", nullptr).text(0), L"cn");
    EXPECT_TRUE(root.childByName(L"设", nullptr).isEmpty());
    EXPECT_TRUE(root.childByName(L"设置置", nullptr).isEmpty());
    EXPECT_TRUE(root.childByName(L"\u00E4", nullptr).isEmpty());
    EXPECT_TRUE(root.childByName(nullptr, nullptr).isEmpty());
}

TEST(XmlElementLookup, PositionWalksSameNamedChildrenInTurn) {
    XmlElement root = Parse(L"<r><item>1</item><other/><ITEM>2</ITEM><item>3</item><tail/></r>");
    int32_t position = 0;
    EXPECT_STREQ(root.childByName(L"item", &position).text(0), L"1");
    EXPECT_EQ(position, 1);
    EXPECT_STREQ(root.childByName(L"item", &position).text(0), L"2");
    EXPECT_EQ(position, 3);
    EXPECT_STREQ(root.childByName(L"item", &position).text(0), L"3");
    EXPECT_EQ(position, 4);
    EXPECT_TRUE(root.childByName(L"item", &position).isEmpty());
    EXPECT_EQ(position, 4);  // left after the last match

    position = 99;
    EXPECT_TRUE(root.childByName(L"tail", &position).isEmpty());
    EXPECT_EQ(position, 99);
    position = -5;  // treated as the start, never read before the array
    EXPECT_STREQ(root.childByName(L"other", &position).name(), L"other");
    EXPECT_EQ(position, 2);
}

TEST(XmlElementLookup, AttributePositionAndValuelessAttributes) {
    XmlElement e = Parse(L"<e a=\"1\" 可选 A='2' b=\"\"/>");
    int32_t position = 0;
    EXPECT_STREQ(e.attributeValue(L"a", &position), L"1");
    EXPECT_EQ(position, 1);
    EXPECT_STREQ(e.attributeValue(L"a", &position), L"2");
    EXPECT_EQ(position, 3);
    EXPECT_EQ(e.attributeValue(L"a", &position), nullptr);
    EXPECT_EQ(position, 3);

    // A bare name reads exactly like a missing attribute, but the search does find it.
    EXPECT_EQ(e.attributeValue(L"可选", nullptr), nullptr);
    position = 0;
    EXPECT_EQ(e.attributeValue(L"可选", &position), nullptr);
    EXPECT_EQ(position, 2);
    // An empty quoted value is an empty text, not null.
    ASSERT_NE(e.attributeValue(L"b", nullptr), nullptr);
    EXPECT_STREQ(e.attributeValue(L"b", nullptr), L"");
}

TEST(XmlElementText, EmptyContentHasNoTextAndTextsAreNumberedAmongTexts) {
    XmlElement root = Parse(L"<r><a></a><b/><c> \r\n\t </c><d>x<e/>y</d></r>");
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        XmlElement child = root.childByName(name, nullptr);
        ASSERT_FALSE(child.isEmpty()) << name;
        EXPECT_EQ(child.text(0), nullptr) << name;
        EXPECT_EQ(child.raw()->textCount, 0) << name;
    }
    XmlElement d = root.childByName(L"d", nullptr);
    EXPECT_STREQ(d.text(0), L"x");
    EXPECT_STREQ(d.text(1), L"y");
    EXPECT_EQ(d.text(2), nullptr);
    EXPECT_EQ(d.text(-1), nullptr);
    EXPECT_EQ(d.childCount(), 1);
}

TEST(XmlElementLookup, ChildAtOutsideTheChildrenIsEmpty) {
    XmlElement root = Parse(L"<r><a/><b/></r>");
    EXPECT_EQ(root.childCount(), 2);
    EXPECT_STREQ(root.childAt(0).name(), L"a");
    EXPECT_STREQ(root.childAt(1).name(), L"b");
    EXPECT_TRUE(root.childAt(2).isEmpty());
    EXPECT_TRUE(root.childAt(-1).isEmpty());
    EXPECT_TRUE(root.childAt(INT32_MIN).isEmpty());
}

TEST(XmlElementHandle, CopyAssignAndReleaseCountReferences) {
    XmlElement root = Parse(L"<r><a><b>t</b></a></r>");
    EXPECT_EQ(References(root), 1);
    {
        XmlElement copy(root);
        EXPECT_EQ(copy.raw(), root.raw());
        EXPECT_EQ(References(root), 2);
        XmlElement other;
        other = copy;
        EXPECT_EQ(References(root), 3);
        other.assign(other);  // the same handle object: nothing happens
        EXPECT_EQ(References(root), 3);
        other.release();
        EXPECT_TRUE(other.isEmpty());
        EXPECT_EQ(References(root), 2);
        other.release();  // releasing an empty handle is harmless
    }
    EXPECT_EQ(References(root), 1);

    // The parent's children array holds one reference of its own.
    XmlElement a = root.childAt(0);
    EXPECT_EQ(References(a), 2);
    a.release();
    EXPECT_EQ(References(root.childAt(0)), 2);

    // Moving a handle down to a child of its own element.
    XmlElement walker = root;
    walker = walker.childByName(L"a", nullptr);
    walker.assign(walker.childAt(0));
    EXPECT_STREQ(walker.name(), L"b");
    EXPECT_STREQ(walker.text(0), L"t");
}

TEST(XmlElementHandle, ChildOutlivesItsReleasedRoot) {
    XmlElement root = Parse(L"<r><keep k=\"v\">one<inner>deep</inner>two</keep><drop>x</drop></r>");
    XmlElement keep = root.childByName(L"keep", nullptr);
    XmlElement drop = root.childByName(L"drop", nullptr);
    drop.release();
    root.release();
    ASSERT_TRUE(root.isEmpty());
    // Sanitizers would flag any read of freed memory here.
    EXPECT_STREQ(keep.name(), L"keep");
    EXPECT_STREQ(keep.attributeValue(L"k", nullptr), L"v");
    EXPECT_STREQ(keep.text(0), L"one");
    EXPECT_STREQ(keep.text(1), L"two");
    EXPECT_STREQ(keep.childAt(0).text(0), L"deep");
    EXPECT_EQ(keep.raw()->parent, nullptr);
    EXPECT_EQ(References(keep), 1);

    // Moving the only handle from a root to its child frees the root, not the child.
    XmlElement moved = Parse(L"<r><c>kept</c></r>");
    moved = moved.childAt(0);
    EXPECT_STREQ(moved.text(0), L"kept");
    EXPECT_EQ(moved.raw()->parent, nullptr);
}

TEST(XmlElementRecordLayout, OrderListAndArraysShrunkToSize) {
    XmlElement root = Parse(L"<r k=\"1\">t1<a/><!--c-->t2<b/></r>");
    const XmlElementRecord* r = root.raw();
    ASSERT_EQ(r->childCount, 2);
    ASSERT_EQ(r->textCount, 2);
    ASSERT_EQ(r->clearCount, 1);
    const int32_t expected[] = {XML_ORDER_TEXT, XML_ORDER_CHILD, XML_ORDER_CLEAR, XML_ORDER_TEXT + 4,
                                XML_ORDER_CHILD + 4};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(r->order[i], expected[i]) << i;
    // One block: the arrays follow the record back to back, each exactly as long as used.
    const char* base = reinterpret_cast<const char*>(r);
    EXPECT_EQ(reinterpret_cast<const char*>(r->children), base + sizeof(XmlElementRecord));
    EXPECT_EQ(reinterpret_cast<const char*>(r->texts), reinterpret_cast<const char*>(r->children + 2));
    EXPECT_EQ(reinterpret_cast<const char*>(r->clearBlocks), reinterpret_cast<const char*>(r->texts + 2));
    EXPECT_EQ(reinterpret_cast<const char*>(r->attributes), reinterpret_cast<const char*>(r->clearBlocks + 1));
    EXPECT_EQ(reinterpret_cast<const char*>(r->order), reinterpret_cast<const char*>(r->attributes + 1));
    EXPECT_EQ(reinterpret_cast<const char*>(r->name), reinterpret_cast<const char*>(r->order + 5));
    EXPECT_STREQ(r->name, L"r");
    EXPECT_STREQ(r->attributes[0].value, L"1");
    EXPECT_STREQ(r->clearBlocks[0].value, L"c");
    EXPECT_EQ(root.childAt(0).raw()->texts, nullptr);  // "<a/>" holds no arrays at all
    EXPECT_EQ(root.childAt(0).raw()->order, nullptr);
    EXPECT_EQ(root.childAt(0).raw()->children, nullptr);
}

TEST(XmlElementRecordLayout, ManyEntriesKeepTheirOrder) {
    // 120 children and 120 texts, interleaved, with attributes on every child.
    std::wstring text = L"<r>";
    for (int i = 0; i < 120; ++i) text += L"t" + std::to_wstring(i) + L"<c n=\"" + std::to_wstring(i) + L"\"/>";
    text += L"</r>";
    XmlElement root = Parse(text.c_str());
    const XmlElementRecord* r = root.raw();
    ASSERT_EQ(r->childCount, 120);
    ASSERT_EQ(r->textCount, 120);
    for (int i = 0; i < 120; ++i) {
        EXPECT_EQ(r->order[2 * i], XML_ORDER_TEXT + 4 * i);
        EXPECT_EQ(r->order[2 * i + 1], XML_ORDER_CHILD + 4 * i);
    }
    EXPECT_STREQ(root.childAt(119).attributeValue(L"n", nullptr), L"119");
    EXPECT_STREQ(root.text(119), L"t119");
}
