// Parsing text into the element tree: outcomes, positions and the dialect's rules.
#include <gtest/gtest.h>

#include <string>

#include "lib/xmlElementRecord.h"
#include "lib/xmlReader.h"

namespace {

struct Parsed {
    XmlElement root;
    XmlParseResult result;
};

// Line and column start at -1 so that a success can be seen to leave them alone.
Parsed Parse(const wchar_t* text, const wchar_t* expectedRoot = nullptr) {
    Parsed p;
    p.result = {XML_OK, -1, -1};
    p.root = ParseXmlText(text, expectedRoot, &p.result);
    return p;
}

struct OutcomeCase {
    const wchar_t* text;
    const wchar_t* expectedRoot;
    XmlError code;
    int32_t line;
    int32_t column;
};

std::string Show(const wchar_t* text) { return testing::PrintToString(text); }

const XmlClearBlock& Clear(const XmlElement& e, int32_t index) { return e.raw()->clearBlocks[index]; }

}  // namespace

TEST(XmlParseOutcome, CodesWithLineAndColumn) {
    const OutcomeCase cases[] = {
        {L"", nullptr, XML_OK, -1, -1},
        {L"<r/>", L"", XML_OK, -1, -1},  // an empty expected name asks for no search
        {L"", L"KeyDeputy", XML_ROOT_NOT_FOUND, 0, 0},
        {L" \r\n\t ", L"KeyDeputy", XML_ROOT_NOT_FOUND, 0, 0},
        {nullptr, nullptr, XML_NO_ELEMENT, 0, 0},
        {L"<r>\n<a>", nullptr, XML_WARNING_END_TAG_MISMATCH, 2, 4},  // text ends inside open elements
        {L"<r><a>\r", nullptr, XML_WARNING_END_TAG_MISMATCH, 1, 8},  // a carriage return is a column
        {L"<>", nullptr, XML_MISSING_TAG_NAME, 1, 3},
        {L"<r><?></r>", nullptr, XML_MISSING_TAG_NAME, 1, 7},
        {L"<r>\t<=a>", nullptr, XML_MISSING_TAG_NAME, 1, 7},
        {L"<r></></r>", nullptr, XML_MISSING_END_TAG_NAME, 1, 7},
        {L"<r></r x>", nullptr, XML_MISSING_END_TAG_NAME, 1, 9},
        {L"<r></r", nullptr, XML_MISSING_END_TAG_NAME, 1, 7},
        {L"<r><a></b></r>", nullptr, XML_END_TAG_MISMATCH, 1, 11},
        {L"<r>\r\n</x>", nullptr, XML_END_TAG_MISMATCH, 2, 5},
        {L"<r><![CDATA[x</r>", nullptr, XML_CLEAR_TAG_MISMATCH, 1, 13},
        {L"<r a b=>", nullptr, XML_EXTRA_NODE, 1, 9},
        {L"<r =a>", nullptr, XML_EXTRA_NODE, 1, 5},
        {L"<r a \"b\">", nullptr, XML_EXTRA_NODE, 1, 9},
        {L"<r a=<b>", nullptr, XML_EXTRA_NODE, 1, 7},
        {L"<r>Tom & Jerry</r>", nullptr, XML_UNKNOWN_CHARSET, 1, 17},
        {L"<r a=\"&bad;\"/>", nullptr, XML_UNKNOWN_CHARSET, 1, 13},
        {L"<r/></x>", nullptr, XML_WARNING_END_TAG_MISMATCH, 1, 9},  // stray end tag after the root
    };
    for (const OutcomeCase& c : cases) {
        Parsed p = Parse(c.text, c.expectedRoot);
        EXPECT_EQ(p.result.code, c.code) << Show(c.text);
        EXPECT_EQ(p.result.line, c.line) << Show(c.text);
        EXPECT_EQ(p.result.column, c.column) << Show(c.text);
        // Errors leave nothing behind; success and warnings give a tree.
        EXPECT_EQ(p.root.isEmpty(), c.code > XML_WARNING_END_TAG_MISMATCH) << Show(c.text);
    }
    EXPECT_TRUE(ParseXmlText(L"<r/>", nullptr, nullptr).childCount() == 0);  // no result record needed
    EXPECT_TRUE(ParseXmlText(L"<", nullptr, nullptr).isEmpty());
}

TEST(XmlParseAttributes, QuotedUnquotedAndBareForms) {
    Parsed p = Parse(L"<项 快捷键=\"Ctrl+Alt+N\" 可选 选中=是/>");
    ASSERT_EQ(p.result.code, XML_OK);
    const XmlElementRecord* r = p.root.raw();
    ASSERT_EQ(r->attributeCount, 3);
    EXPECT_STREQ(r->attributes[0].name, L"快捷键");
    EXPECT_STREQ(r->attributes[0].value, L"Ctrl+Alt+N");
    EXPECT_STREQ(r->attributes[1].name, L"可选");
    EXPECT_EQ(r->attributes[1].value, nullptr);
    EXPECT_STREQ(r->attributes[2].name, L"选中");
    EXPECT_STREQ(r->attributes[2].value, L"是");

    // Blanks around '=' and a bare name right before '>' or "/>".
    p = Parse(L"<a x = '1' flag></a>");
    EXPECT_STREQ(p.root.attributeValue(L"x", nullptr), L"1");
    ASSERT_EQ(p.root.raw()->attributeCount, 2);
    EXPECT_STREQ(p.root.raw()->attributes[1].name, L"flag");
    // Names are stored as written; values are entity-decoded.
    p = Parse(L"<a x&amp;y=\"&lt;&#65;&gt;\" v=a&amp;b/>");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.attributeValue(L"x&amp;y", nullptr), L"<A>");
    EXPECT_STREQ(p.root.attributeValue(L"v", nullptr), L"a&b");
    // An unquoted value ends at a blank; an attribute may follow without one.
    p = Parse(L"<a v=1 w=\"2\"x='3'/>");
    EXPECT_STREQ(p.root.attributeValue(L"v", nullptr), L"1");
    EXPECT_STREQ(p.root.attributeValue(L"w", nullptr), L"2");
    EXPECT_STREQ(p.root.attributeValue(L"x", nullptr), L"3");
}

TEST(XmlParseAttributes, QuotedValueRulesAndTheLessThanSign) {
    Parsed p = Parse(L"<a t=\"it's > ok\" u='say \"hi\"' e=\"\"/>");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.attributeValue(L"t", nullptr), L"it's > ok");
    EXPECT_STREQ(p.root.attributeValue(L"u", nullptr), L"say \"hi\"");
    EXPECT_STREQ(p.root.attributeValue(L"e", nullptr), L"");

    // A quote that meets '<' first is plain text starting at the quote.
    p = Parse(L"<r><a t=\"x/></r>");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.childAt(0).attributeValue(L"t", nullptr), L"\"x");
    p = Parse(L"<r><a t=\"x<y\"/></r>");
    EXPECT_EQ(p.result.code, XML_EXTRA_NODE);
    EXPECT_EQ(p.result.column, 12);  // just after the '<' that was not allowed
    // Inside an unquoted value a quote is an ordinary character.
    p = Parse(L"<a t=b\"c d=e'/>");
    EXPECT_STREQ(p.root.attributeValue(L"t", nullptr), L"b\"c");
    EXPECT_STREQ(p.root.attributeValue(L"d", nullptr), L"e'");
}

TEST(XmlParseEntities, NamedAndNumericReferences) {
    struct Case {
        const wchar_t* content;
        const wchar_t* decoded;  // null: code 14
    };
    const wchar_t pair[] = {wchar_t(0xF600), 0};  // U+1F600 cut to its low 16 bits
    const Case cases[] = {
        {L"Tom &amp; Jerry", L"Tom & Jerry"},
        {L"Tom & Jerry", nullptr},
        {L"&AMP;&Lt;&gT;&QUOT;&Apos;", L"&<>\"'"},
        {L"&lt;&gt;&quot;&apos;", L"<>\"'"},
        {L"&#65;&#x41;&#X41;&#x4e2d;&#X4E2D;", L"AAA中中"},
        {L"&#x1F600;", pair},
        {L"&#65601;", L"A"},
        {L"&#12345678901234567890;", L"\x0AD2"},  // long digit runs wrap instead of overflowing
        {L"&#x123456789ABC;", L"\x9ABC"},
        {L"&#65", nullptr},
        {L"&amp", nullptr},
        {L"a&", nullptr},
        {L"&#", nullptr},
        {L"&#6a;", nullptr},
        {L"&#xG1;", nullptr},
        {L"&#-1;", nullptr},
        {L"&nbsp;", nullptr},
        {L"&am;p", nullptr},
    };
    for (const Case& c : cases) {
        std::wstring text = std::wstring(L"<r>") + c.content + L"</r>";
        Parsed p = Parse(text.c_str());
        if (!c.decoded) {
            EXPECT_EQ(p.result.code, XML_UNKNOWN_CHARSET) << Show(c.content);
            continue;
        }
        ASSERT_EQ(p.result.code, XML_OK) << Show(c.content);
        EXPECT_STREQ(p.root.text(0), c.decoded) << Show(c.content);
    }
    // A reference that would run past the end of its text block is not completed by later text.
    EXPECT_EQ(Parse(L"<r>&amp<b/>;</r>").result.code, XML_UNKNOWN_CHARSET);
    EXPECT_EQ(Parse(L"<r a=\"&#65\" b=\";\"/>").result.code, XML_UNKNOWN_CHARSET);
}

TEST(XmlParseText, TrimmedBlocksKeepInnerWhitespace) {
    Parsed p = Parse(L"<r>  \r\n\t hello \r\n world \t\n</r>");
    EXPECT_STREQ(p.root.text(0), L"hello \r\n world");
    // Only the four XML blanks are trimmed.
    p = Parse(L"<r>\u00A0x\u3000</r>");
    EXPECT_STREQ(p.root.text(0), L"\u00A0x\u3000");
    // Content tokens are taken verbatim by the next flush.
    p = Parse(L"<r>a = b > c /> \"d ' e</r>");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.text(0), L"a = b > c /> \"d ' e");
    // Whitespace-only blocks between children are not stored.
    p = Parse(L"<r>\n  <a/>\n  <b/>\n</r>");
    EXPECT_EQ(p.root.raw()->textCount, 0);

    // Text after the last markup, or inside an element still open at the end, is dropped.
    p = Parse(L"<r>a</r>tail");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.name(), L"r");
    EXPECT_EQ(p.root.raw()->parent, nullptr);
    p = Parse(L"<r>x<a>open");
    EXPECT_EQ(p.result.code, XML_WARNING_END_TAG_MISMATCH);
    EXPECT_STREQ(p.root.text(0), L"x");
    EXPECT_EQ(p.root.childAt(0).raw()->textCount, 0);
}

TEST(XmlParseText, TrimSwitchOffKeepsBlanks) {
    ReaderSettings.trimWhitespace = false;
    Parsed p = Parse(L"<r> a <b/>\n</r>");
    ReaderSettings.trimWhitespace = true;
    EXPECT_STREQ(p.root.text(0), L" a ");
    EXPECT_STREQ(p.root.text(1), L"\n");
}

TEST(XmlParseClearSections, AnyCaseOpenExactCloseVerbatim) {
    Parsed p = Parse(L"<r>a<![cdata[ <b>&</b> ]]>b<!---->c<SCRIPT>if (x<y) z();</Script><PrE>  p  </PRE></r>");
    ASSERT_EQ(p.result.code, XML_OK);
    const XmlElementRecord* r = p.root.raw();
    EXPECT_EQ(r->childCount, 0);
    ASSERT_EQ(r->clearCount, 4);
    EXPECT_STREQ(Clear(p.root, 0).value, L" <b>&</b> ");
    EXPECT_STREQ(Clear(p.root, 0).openMarker, L"<![CDATA[");
    EXPECT_STREQ(Clear(p.root, 0).closeMarker, L"]]>");
    EXPECT_STREQ(Clear(p.root, 1).value, L"");
    EXPECT_STREQ(Clear(p.root, 1).closeMarker, L"-->");
    EXPECT_STREQ(Clear(p.root, 2).value, L"if (x<y) z();");
    EXPECT_STREQ(Clear(p.root, 2).openMarker, L"<Script>");
    EXPECT_STREQ(Clear(p.root, 3).value, L"  p  ");
    EXPECT_STREQ(Clear(p.root, 3).closeMarker, L"</PRE>");
    // A clear section splits the text around it.
    EXPECT_STREQ(p.root.text(0), L"a");
    EXPECT_STREQ(p.root.text(1), L"b");
    EXPECT_STREQ(p.root.text(2), L"c");

    // Close markers are matched exactly; a later exact one ends the section.
    EXPECT_EQ(Parse(L"<r><pre>x</pre></r>").result.code, XML_CLEAR_TAG_MISMATCH);
    p = Parse(L"<r><pre>x</pre>y</PRE></r>");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(Clear(p.root, 0).value, L"x</pre>y");
    EXPECT_EQ(Parse(L"<r><script>x</script></r>").result.code, XML_CLEAR_TAG_MISMATCH);
    EXPECT_EQ(Parse(L"<r><!-- x -- ></r>").result.code, XML_CLEAR_TAG_MISMATCH);
    // Recognised inside a start tag as well, where it is not allowed.
    EXPECT_EQ(Parse(L"<r a <!--c--> />").result.code, XML_EXTRA_NODE);
    // A comment before the root and a tag merely starting like a marker.
    p = Parse(L"<!-- head --><KeyDeputy><prefix/><Scripts/></KeyDeputy>", L"KeyDeputy");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.childAt(0).name(), L"prefix");
    EXPECT_STREQ(p.root.childAt(1).name(), L"Scripts");
}

TEST(XmlParseClearSections, DoctypeWithAndWithoutInternalSubset) {
    Parsed p = Parse(L"<!doctype KeyDeputy><KeyDeputy/>", L"KeyDeputy");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.name(), L"KeyDeputy");

    p = Parse(L"<!DOCTYPE r SYSTEM \"r.dtd\"><r/>");  // two top-level items: the nameless top comes back
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_EQ(p.root.name(), nullptr);
    EXPECT_STREQ(Clear(p.root, 0).value, L" r SYSTEM \"r.dtd\"");
    EXPECT_STREQ(Clear(p.root, 0).closeMarker, L">");

    p = Parse(L"<!DOCTYPE r [<!ENTITY e \"v\"><!ELEMENT r ANY>]><r/>");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(Clear(p.root, 0).value, L" r [<!ENTITY e \"v\"><!ELEMENT r ANY>");
    EXPECT_STREQ(Clear(p.root, 0).closeMarker, L"]>");
    EXPECT_STREQ(p.root.childAt(0).name(), L"r");

    // The choice is made anew for each section.
    p = Parse(L"<r><!DOCTYPE a [<x>]><!DOCTYPE b></r>");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(Clear(p.root, 0).closeMarker, L"]>");
    EXPECT_STREQ(Clear(p.root, 1).value, L" b");
    EXPECT_STREQ(Clear(p.root, 1).closeMarker, L">");

    EXPECT_EQ(Parse(L"<!DOCTYPE r [<!ENTITY e \"v\">] ><r/>").result.code, XML_CLEAR_TAG_MISMATCH);
    EXPECT_EQ(Parse(L"<!DOCTYPE r").result.code, XML_CLEAR_TAG_MISMATCH);
}

TEST(XmlParseDeclarations, StayOpenAroundWhatFollows) {
    Parsed p = Parse(L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<KeyDeputy><a/></KeyDeputy>");
    ASSERT_EQ(p.result.code, XML_OK);  // no warning for a declaration open at the end
    EXPECT_STREQ(p.root.name(), L"xml");
    EXPECT_TRUE(p.root.isDeclaration());
    EXPECT_STREQ(p.root.attributeValue(L"version", nullptr), L"1.0");
    EXPECT_STREQ(p.root.attributeValue(L"encoding", nullptr), L"utf-16");
    EXPECT_EQ(p.root.raw()->attributeCount, 2);  // the '?' of "?>" is no attribute
    EXPECT_STREQ(p.root.childAt(0).name(), L"KeyDeputy");
    EXPECT_FALSE(p.root.childAt(0).isDeclaration());

    // The '?' is dropped from an unquoted value or a bare name before '>'.
    p = Parse(L"<?xml version=1.0?><?pi standalone?><r/>");
    EXPECT_STREQ(p.root.attributeValue(L"version", nullptr), L"1.0");
    EXPECT_STREQ(p.root.childAt(0).raw()->attributes[0].name, L"standalone");
    EXPECT_EQ(p.root.childAt(0).attributeValue(L"standalone", nullptr), nullptr);
    // ...but not from an ordinary element's.
    p = Parse(L"<a v=x? f?/>");
    EXPECT_STREQ(p.root.attributeValue(L"v", nullptr), L"x?");
    EXPECT_STREQ(p.root.raw()->attributes[1].name, L"f?");

    // Inside an element a declaration lasts until that element's end tag: both close, warning 1.
    p = Parse(L"<r><a><?pi x?>t</a><b/></r>");
    EXPECT_EQ(p.result.code, XML_WARNING_END_TAG_MISMATCH);
    EXPECT_EQ(p.result.column, 20);  // just after "</a>"
    XmlElement a = p.root.childByName(L"a", nullptr);
    ASSERT_EQ(a.childCount(), 1);
    EXPECT_STREQ(a.childAt(0).text(0), L"t");
    EXPECT_STREQ(p.root.childAt(1).name(), L"b");
}

TEST(XmlParseEndTags, MismatchedAndStrayEndTags) {
    // a's end tag closes b as well; b's own end tag is then stray.
    Parsed p = Parse(L"<a><b>x</a></b>");
    EXPECT_EQ(p.result.code, XML_WARNING_END_TAG_MISMATCH);
    EXPECT_EQ(p.result.line, 1);
    EXPECT_EQ(p.result.column, 16);  // just after the last warning's "</b>"
    EXPECT_STREQ(p.root.name(), L"a");
    EXPECT_STREQ(p.root.childAt(0).text(0), L"x");

    // An end tag naming an enclosing element closes everything in between.
    p = Parse(L"<r><a><b><c></a><d/></r>");
    EXPECT_EQ(p.result.code, XML_WARNING_END_TAG_MISMATCH);
    EXPECT_EQ(p.result.column, 17);
    EXPECT_EQ(p.root.childCount(), 2);
    EXPECT_STREQ(p.root.childAt(1).name(), L"d");
    EXPECT_STREQ(p.root.childAt(0).childAt(0).childAt(0).name(), L"c");

    // End tags compare ignoring ASCII case.
    p = Parse(L"<Menu><Item></ITEM></menu>");
    EXPECT_EQ(p.result.code, XML_OK);

    // Naming no open element at all is an error, however deep.
    EXPECT_EQ(Parse(L"<r><a><b></x></b></a></r>").result.code, XML_END_TAG_MISMATCH);
    EXPECT_EQ(Parse(L"</x>").result.code, XML_WARNING_END_TAG_MISMATCH);
    // An end tag as the very first markup closes the top element: the rest is not read.
    p = Parse(L"</x><r/>");
    EXPECT_EQ(p.root.childCount(), 0);
}

TEST(XmlParseRoot, SearchThroughDeclarationsOnly) {
    Parsed p = Parse(L"<keydeputy/>", L"KeyDeputy");
    EXPECT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.name(), L"keydeputy");

    // Siblings at the top: non-matching ones are passed over.
    p = Parse(L"<a/><KeyDeputy><x/></KeyDeputy>", L"KeyDeputy");
    ASSERT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.childAt(0).name(), L"x");
    EXPECT_EQ(p.root.raw()->parent, nullptr);  // the rest of the tree is gone

    // Declarations are entered, and the search does not come back out of them.
    p = Parse(L"<!--c--><?xml?><?pi?><b/><KeyDeputy/>", L"KeyDeputy");
    EXPECT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.name(), L"KeyDeputy");
    p = Parse(L"<a><?pi?></a><KeyDeputy/>", L"KeyDeputy");
    EXPECT_EQ(p.result.code, XML_WARNING_END_TAG_MISMATCH);
    EXPECT_STREQ(p.root.name(), L"KeyDeputy");
    p = Parse(L"<?xml?><Config/><KeyDeputy/>", L"KeyDeputy");
    EXPECT_EQ(p.result.code, XML_OK);
    p = Parse(L"<?a?><?b?>", L"KeyDeputy");
    EXPECT_EQ(p.result.code, XML_ROOT_NOT_FOUND);

    // The single top-level element's own children are searched, but ordinary
    // elements are not entered; a warning gives way to the missing root.
    p = Parse(L"<wrap><a/><KeyDeputy/></wrap>", L"KeyDeputy");
    EXPECT_EQ(p.result.code, XML_OK);
    EXPECT_STREQ(p.root.name(), L"KeyDeputy");
    const wchar_t* refused[] = {L"<wrap><inner><KeyDeputy/></inner></wrap>", L"<?xml version=\"1.0\"?><Config/>", L"<a><b></a>"};
    for (const wchar_t* text : refused) {
        p = Parse(text, L"KeyDeputy");
        EXPECT_EQ(p.result.code, XML_ROOT_NOT_FOUND) << Show(text);
        EXPECT_EQ(p.result.line, 0);
        EXPECT_EQ(p.result.column, 0);
        EXPECT_TRUE(p.root.isEmpty());
    }
}
