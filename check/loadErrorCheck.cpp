// Why the program refuses a file: its own report, and the cause where it lies elsewhere.
#include <cstdlib>

#include "app/messages.h"
#include "check/checkContext.h"
#include "check/checkText.h"
#include "lib/xmlEntities.h"
#include "lib/xmlTokenizer.h"

namespace {

// The first '&' of the run of text or value ending at end that starts no valid reference.
size_t BadAmpersand(const wchar_t* text, size_t end) {
    while (end > 0 && (text[end - 1] == L'<' || text[end - 1] == L'/' || text[end - 1] == L'?')) --end;
    size_t start = end;
    while (start > 0 && text[start - 1] != L'<' && text[start - 1] != L'>') --start;
    for (size_t i = start; i < end; ++i) {
        if (text[i] != L'&') continue;
        size_t next = i + 1;
        while (next < end && text[next] != L'&') ++next;
        size_t decoded;
        if (!MeasureXmlEntities(text + i, next - i, &decoded)) return i;
    }
    return NO_OFFSET;
}

// An end tag that names no open element closes them all before the parse stops:
// only the innermost, whose end tag it most likely was meant to be, is the cause.
void ExplainStrayEndTag(CheckContext& c, size_t errorOffset) {
    size_t i = c.places.count;
    while (i > 0 && c.places.items[i - 1].end == XmlElementEnd::OtherEndTag) --i;
    if (i == c.places.count) return;
    const ElementPlace& innermost = c.places.items[i];
    wchar_t name[NAME_SIZE], written[NAME_SIZE];
    NameAt(c.text, innermost.nameOffset, name);
    size_t endTag = errorOffset;
    while (endTag > 0 && !(c.text[endTag - 1] == L'<' && c.text[endTag] == L'/')) --endTag;
    NameAt(c.text, endTag + 1, written);
    wchar_t line[12];
    int32_t startLine, startColumn;
    XmlLineAndColumn(c.text, innermost.nameOffset - 1, &startLine, &startColumn);
    FormatNumber(line, startLine);
    Add(c, Severity::Error, "end-tag-mismatch", At(c, endTag > 0 ? endTag - 1 : NO_OFFSET),
        {L"结束标签 </", written, L"> 不属于任何打开的元素；最近打开的是第 ", line, L" 行的 <", name, L">"},
        {L"如果它是 <", name, L"> 的结束标签，两边的名称要写得完全一样"});
}

void ExplainUnclosed(CheckContext& c) {
    for (size_t i = 0; i < c.places.count; ++i) {
        const ElementPlace& place = c.places.items[i];
        if (place.end != XmlElementEnd::OtherEndTag && place.end != XmlElementEnd::EndOfText) continue;
        if (place.nameOffset >= 2 && c.text[place.nameOffset - 1] == L'?') continue;  // declarations stay open
        wchar_t name[NAME_SIZE];
        NameAt(c.text, place.nameOffset, name);
        const wchar_t* how = place.end == XmlElementEnd::EndOfText ? L"，直到文件末尾都没有关闭"
                                                                  : L"，它被外层元素的结束标签一并关闭";
        Add(c, Severity::Error, "end-tag-missing", At(c, place.nameOffset - 1),
            {L"<", name, L"> 没有对应的结束标签 </", name, L">", how},
            {L"在它的内容之后写上 </", name, L">（名称与开始标签完全一致）；没有命令的项可以写成 <", name,
             L"/>"});
    }
}

void ExplainEndTagName(CheckContext& c, size_t errorOffset) {
    size_t start = errorOffset;
    while (start > 0 && !(c.text[start - 1] == L'<' && c.text[start] == L'/')) --start;
    if (start == 0) return;
    --start;
    size_t end = start + 2;
    while (c.text[end] && c.text[end] != L'>' && c.text[end] != L'\n' && end - start < NAME_SIZE) ++end;
    bool space = false;
    for (size_t i = start + 2; i < end; ++i)
        if (c.text[i] == L' ' || c.text[i] == L'\t' || c.text[i] == 0x3000) space = i > start + 2;
    if (!space) return;
    wchar_t written[NAME_SIZE + 1];
    size_t n = 0;
    for (size_t i = start; i < end && n + 1 < NAME_SIZE; ++i) written[n++] = c.text[i];
    written[n] = 0;
    Add(c, Severity::Error, "name-with-space", At(c, start),
        {L"结束标签 ", written, L"> 的名称里有空格"},
        {L"元素名（菜单上显示的文字）不能含空格：开始标签里空格后面的部分被当作属性，结束标签则读不下去。"
         L"去掉空格或换成别的字符，例如“打开记事本”或“打开_记事本”"});
}

void ExplainExtraNode(CheckContext& c, size_t errorOffset) {
    size_t tagStart = errorOffset >= 2 ? errorOffset - 2 : 0;
    while (tagStart > 0 && c.text[tagStart] != L'<') --tagStart;
    for (size_t i = tagStart; i < errorOffset; ++i) {
        wchar_t quote = c.text[i];
        if (quote != L'"' && quote != L'\'') continue;
        size_t j = i + 1;
        while (c.text[j] && c.text[j] != quote && c.text[j] != L'<') ++j;
        if (c.text[j] == L'<' && j < errorOffset + 1) {
            Add(c, Severity::Error, "quote-broken", At(c, i), {L"引号里的值遇到了“<”，值在这里断开"},
                {L"属性值里不能直接写 <，要写成 &lt;"});
            return;
        }
        i = j;
    }
    size_t name = tagStart + 1;
    while (c.text[name] && !EndsXmlText(c.text[name])) ++name;
    if (c.text[name] == L'=') {
        Add(c, Severity::Error, "name-with-equals", At(c, name), {L"元素名里不能有“=”"},
            {L"元素名（菜单上显示的文字）不能含 =、<、>、空格，也不能以 / 结尾；换用别的字符"});
    }
}

void ExplainWrongRoot(CheckContext& c) {
    XmlParseResult result = {XML_OK, 0, 0};
    XmlElement found;
    FindXmlRoot(ParseXmlText(c.text, nullptr, &result), KD_ROOT, &found);
    if (found.isEmpty()) {
        Add(c, Severity::Error, "wrong-root", {0, 0}, {L"文件里没有任何元素"},
            {L"整个配置要写在 <KeyDeputy> 与 </KeyDeputy> 之间，参考示例配置 KeyDeputy.xml"});
        return;
    }
    Add(c, Severity::Error, "wrong-root", At(c, TagOffset(c, found)),
        {L"根元素是 <", found.name(), L">，程序要的是 <KeyDeputy>"},
        {L"把整个配置包在 <KeyDeputy> 与 </KeyDeputy> 之间（字母大小写不限）"});
}

const wchar_t* LoadErrorHelp(XmlError code) {
    switch (code) {
    case XML_WARNING_END_TAG_MISMATCH:
        return L"程序把任何不配对的结束标签都当作错误，拒绝加载整个文件；看下面指出的开始标签，"
               L"或删掉这里多余的结束标签";
    case XML_MISSING_TAG_NAME: return L"“<”后面必须紧跟元素名；文字里的 < 要写成 &lt;";
    case XML_MISSING_END_TAG_NAME: return L"结束标签要写成 </名称>，名称与开始标签一致，中间没有空格";
    case XML_END_TAG_MISMATCH: return L"这个结束标签不属于任何打开的元素：检查它和开始标签的拼写";
    case XML_CLEAR_TAG_MISMATCH:
        return L"<!--、<![CDATA[ 等开头的段落没有找到结束标记（-->、]]>），结束标记的大小写必须一致";
    case XML_EXTRA_NODE: return L"标签里出现了不该有的内容：属性要写成 名称=\"值\"，值里不能有 <";
    case XML_INVALID_TAG: return L"元素嵌套超过 1000 层，程序不再读下去";
    case XML_UNKNOWN_CHARSET: return L"文字里的 & 要写成 &amp;，例如网址里的 ?a=1&amp;b=2";
    default: return L"";
    }
}

}  // namespace

void ExplainLoadError(CheckContext& c, const XmlParseResult& result) {
    CheckPosition position = {result.line, result.column};
    Add(c, Severity::Error, "load-error", position, {L"KeyDeputy 拒绝加载：", XmlErrorText(result.code)},
        {LoadErrorHelp(result.code)});
    size_t offset = OffsetOf(c.text, result.line, result.column);
    switch (result.code) {
    case XML_UNKNOWN_CHARSET: {
        size_t amp = BadAmpersand(c.text, offset);
        if (amp != NO_OFFSET)
            Add(c, Severity::Error, "bare-ampersand", At(c, amp), {L"这个“&”不是有效的字符引用的开头"},
                {L"写成 &amp;；程序把错误报告在后面的标签处，真正的原因在这里"});
        break;
    }
    case XML_MISSING_END_TAG_NAME: ExplainEndTagName(c, offset); break;
    case XML_EXTRA_NODE: ExplainExtraNode(c, offset); break;
    case XML_ROOT_NOT_FOUND: ExplainWrongRoot(c); break;
    default: break;
    }
    if (result.code == XML_WARNING_END_TAG_MISMATCH) ExplainUnclosed(c);
    if (result.code == XML_END_TAG_MISMATCH) ExplainStrayEndTag(c, offset);
}
