#include "check/configCheck.h"

#include <cstdlib>
#include <new>

#include "actions/actionNames.h"
#include "actions/resolutionText.h"
#include "app/messages.h"
#include "check/checkText.h"
#include "check/nearestName.h"
#include "lib/textCopy.h"
#include "lib/xmlEntities.h"
#include "lib/xmlLoadReport.h"
#include "lib/xmlTextDecoding.h"
#include "lib/xmlTokenizer.h"
#include "menu/commandItems.h"
#include "menu/dispatchDecision.h"
#include "menu/hotkeyText.h"
#include "menu/menuWalk.h"

namespace {

constexpr size_t NO_OFFSET = size_t(-1);
constexpr size_t NAME_SIZE = 64;  // names quoted in messages, cut to fit
constexpr int32_t MAX_POPUPS = 400;
constexpr int32_t MAX_ATTRIBUTES = 16;
constexpr int32_t HIDE_ICON_ROW = 7;
constexpr int32_t EXIT_ROW = 8;

// Where the parser saw an element, as its observer was told.
struct ElementPlace {
    const XmlElementRecord* record;
    size_t nameOffset;
    XmlElementEnd end;
};

struct Places {
    ElementPlace* items;
    size_t count;
    size_t capacity;
    bool failed;
};

void ObserveElement(void* context, const XmlElementRecord* record, size_t nameOffset, XmlElementEnd end) {
    Places* places = static_cast<Places*>(context);
    if (places->count == places->capacity) {
        size_t capacity = places->capacity ? places->capacity * 2 : 256;
        void* grown = realloc(places->items, capacity * sizeof(ElementPlace));
        if (!grown) {
            places->failed = true;
            return;
        }
        places->items = static_cast<ElementPlace*>(grown);
        places->capacity = capacity;
    }
    places->items[places->count++] = {record, nameOffset, end};
}

// Popups and items as the menu walk hands them out.
struct WalkedItem {
    int32_t popup;  // 0: the root, else popup index + 1
    int32_t identifier;
};

struct Popup {
    const wchar_t* name;
    int32_t parent;
};

struct MenuRecord {
    Popup popups[MAX_POPUPS];
    int32_t popupCount;
    WalkedItem* items;
    int32_t itemCount;
    int32_t itemCapacity;
};

struct HotkeySeen {
    uint32_t modifiers;
    uint32_t key;
    int32_t item;
    CheckPosition position;
};

struct Checker {
    CheckReport* report;
    const CheckPlatform* platform;
    const wchar_t* text;
    Places places;
    MenuRecord* menu;
    HotkeySeen* hotkeys;
    int32_t hotkeyCount;
    int32_t walkedIndex;  // next walked item to match with an element
    bool sawExit;
    bool hideIconUndoable;
    int32_t hideIconCount;
    CheckPosition hideIconPositions[8];
};

CheckPosition At(const Checker& c, size_t offset) {
    CheckPosition position = {0, 0};
    if (c.text && offset != NO_OFFSET) XmlLineAndColumn(c.text, offset, &position.line, &position.column);
    return position;
}

size_t OffsetOf(const wchar_t* text, int32_t line, int32_t column) {
    size_t offset = 0;
    for (int32_t l = 1; l < line && text[offset]; ++offset)
        if (text[offset] == L'\n') ++l;
    for (int32_t k = 1; k < column && text[offset]; ++k) ++offset;
    return offset;
}

void Add(Checker& c, Severity severity, const char* code, CheckPosition position,
         std::initializer_list<const wchar_t*> message, std::initializer_list<const wchar_t*> help) {
    AddFinding(c.report, severity, code, position, message, help);
}

// The name written at offset, up to what ends a name, cut to fit.
void NameAt(const wchar_t* text, size_t offset, wchar_t* out) {
    size_t n = 0;
    while (n + 1 < NAME_SIZE && text[offset + n] && !EndsXmlText(text[offset + n])) {
        out[n] = text[offset + n];
        ++n;
    }
    out[n] = 0;
}

const ElementPlace* PlaceOf(const Checker& c, const XmlElement& element) {
    const XmlElementRecord* record = element.raw();
    if (!record) return nullptr;
    for (size_t i = c.places.count; i-- > 0;)
        if (c.places.items[i].record == record) return &c.places.items[i];
    return nullptr;
}

// Offset of the '<' of an element's start tag.
size_t TagOffset(const Checker& c, const XmlElement& element) {
    const ElementPlace* place = PlaceOf(c, element);
    return place && place->nameOffset > 0 ? place->nameOffset - 1 : NO_OFFSET;
}

// The attributes of a start tag as the tokenizer splits them: name offsets and
// whether each has a value; also where the content after the tag begins.
struct StartTag {
    size_t nameOffsets[MAX_ATTRIBUTES];
    size_t nameLengths[MAX_ATTRIBUTES];
    bool hasValue[MAX_ATTRIBUTES];
    int32_t count;
    size_t contentOffset;  // first non-blank unit after '>', NO_OFFSET for "/>"
};

void ReadStartTag(const Checker& c, const XmlElement& element, StartTag* tag) {
    tag->count = 0;
    tag->contentOffset = NO_OFFSET;
    const ElementPlace* place = PlaceOf(c, element);
    if (!place) return;
    XmlToken token;
    size_t position = ReadXmlToken(c.text, place->nameOffset, &token);  // the element's name
    for (;;) {
        position = ReadXmlToken(c.text, position, &token);
        if (token.type == XmlTokenType::Text && tag->count < MAX_ATTRIBUTES) {
            tag->nameOffsets[tag->count] = size_t(token.start - c.text);
            tag->nameLengths[tag->count] = token.length;
            tag->hasValue[tag->count] = false;
            ++tag->count;
        } else if (token.type == XmlTokenType::Equals) {
            if (tag->count > 0) tag->hasValue[tag->count - 1] = true;
            position = ReadXmlToken(c.text, position, &token);  // the value
        } else if (token.type == XmlTokenType::TagEnd) {
            size_t p = position;
            while (IsXmlSpace(c.text[p])) ++p;
            tag->contentOffset = p;
            return;
        } else {
            return;
        }
    }
}

size_t AttributeOffset(const Checker& c, const XmlElement& element, const wchar_t* name) {
    StartTag tag;
    ReadStartTag(c, element, &tag);
    wchar_t written[NAME_SIZE];
    for (int32_t i = 0; i < tag.count; ++i) {
        NameAt(c.text, tag.nameOffsets[i], written);
        if (TextEqualsIgnoreAsciiCase(written, name)) return tag.nameOffsets[i];
    }
    return TagOffset(c, element);
}

size_t ContentOffset(const Checker& c, const XmlElement& element) {
    StartTag tag;
    ReadStartTag(c, element, &tag);
    return tag.contentOffset != NO_OFFSET ? tag.contentOffset : TagOffset(c, element);
}

// ----- load errors -----

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
void ExplainStrayEndTag(Checker& c, size_t errorOffset) {
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

void ExplainUnclosed(Checker& c) {
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

void ExplainEndTagName(Checker& c, size_t errorOffset) {
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

void ExplainExtraNode(Checker& c, size_t errorOffset) {
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

void ExplainWrongRoot(Checker& c) {
    XmlParseResult result = {XML_OK, 0, 0};
    XmlElement top = ParseXmlText(c.text, nullptr, &result);
    XmlElement found;
    if (top.name() && !top.isDeclaration()) {
        found = top;
    } else {
        // Through declarations, as the reader looks for the root.
        XmlElement scope = top;
        for (int32_t i = 0; i < scope.childCount();) {
            XmlElement child = scope.childAt(i);
            if (!child.isDeclaration()) {
                found = child;
                break;
            }
            scope.assign(child);
            i = 0;
        }
    }
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

void ExplainLoadError(Checker& c, const XmlParseResult& result) {
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

// ----- sections -----

const wchar_t* const SECTIONS[] = {KD_SECTION_SETTINGS, KD_SECTION_MENU, KD_SECTION_TIP, KD_SECTION_LANGUAGE};
const wchar_t* const SETTING_KEYS[] = {KD_KEY_NAME, KD_KEY_SINGLE_INSTANCE, KD_KEY_AUTOSTART};
const wchar_t* const TIP_KEYS[] = {KD_KEY_TIP_SHOW, KD_KEY_TIP_TEXT, KD_KEY_TIP_TITLE};
const wchar_t* const MESSAGE_KEYS[] = {KD_MSG_HOTKEY, KD_MSG_EXIT,       KD_MSG_SHUTDOWN, KD_MSG_SCREENSHOT,
                                       KD_MSG_REMINDER, KD_MSG_RESOLUTION, KD_MSG_AUTOSTART};
const wchar_t* const ITEM_ATTRIBUTES[] = {KD_ATTR_HOTKEY, KD_ATTR_SELECTABLE, KD_ATTR_CHECKED};

// English words a new user tries for the sections.
struct Alias {
    const wchar_t* word;
    const wchar_t* section;  // or key name
};
const Alias SECTION_ALIASES[] = {
    {L"menu", KD_SECTION_MENU},         {L"menus", KD_SECTION_MENU},         {L"settings", KD_SECTION_SETTINGS},
    {L"setting", KD_SECTION_SETTINGS},  {L"config", KD_SECTION_SETTINGS},    {L"options", KD_SECTION_SETTINGS},
    {L"tip", KD_SECTION_TIP},           {L"tips", KD_SECTION_TIP},           {L"balloon", KD_SECTION_TIP},
    {L"language", KD_SECTION_LANGUAGE}, {L"messages", KD_SECTION_LANGUAGE}, {L"lang", KD_SECTION_LANGUAGE},
};

template <size_t N>
bool IsOneOf(const wchar_t* name, const wchar_t* const (&names)[N]) {
    for (const wchar_t* known : names)
        if (TextEqualsIgnoreAsciiCase(name, known)) return true;
    return false;
}

const wchar_t* Suggest(const wchar_t* name, const wchar_t* const* names, size_t count) {
    const wchar_t* nearest = NearestName(name, names, count, TextLength(name) <= 2 ? 1 : 2);
    for (const Alias& alias : SECTION_ALIASES)
        if (names == SECTIONS && TextEqualsIgnoreAsciiCase(name, alias.word)) nearest = alias.section;
    return nearest;
}

template <size_t N>
void CheckKeys(Checker& c, const XmlElement& section, const wchar_t* const (&keys)[N], const char* code) {
    for (int32_t i = 0; i < section.childCount(); ++i) {
        XmlElement key = section.childAt(i);
        if (IsOneOf(key.name(), keys)) continue;
        const wchar_t* nearest = Suggest(key.name(), keys, N);
        Add(c, Severity::Warning, code, At(c, TagOffset(c, key)),
            {L"<", section.name(), L"> 里没有叫“", key.name(), L"”的项，程序不读它"},
            {nearest ? L"是不是要写“" : L"可用的项见 README 的配置说明", nearest, nearest ? L"”？" : nullptr});
    }
}

void CheckYesNo(Checker& c, const XmlElement& section, const wchar_t* keyName) {
    XmlElement key = section.childByName(keyName, nullptr);
    const wchar_t* value = key.text(0);
    if (!value || TextEquals(value, KD_YES) || TextEquals(value, KD_NO)) return;
    Add(c, Severity::Warning, "yes-no-value", At(c, ContentOffset(c, key)),
        {L"“", value, L"”不是“是”，程序把 ", keyName, L" 当作“否”"},
        {L"是/否 设置只认“是”一个写法：开启写“是”，关闭写“否”"});
}

void CheckLength(Checker& c, const XmlElement& section, const wchar_t* keyName, size_t most) {
    XmlElement key = section.childByName(keyName, nullptr);
    const wchar_t* value = key.text(0);
    if (!value || TextLength(value) <= most) return;
    wchar_t limit[12];
    FormatNumber(limit, int64_t(most));
    Add(c, Severity::Note, "value-cut", At(c, ContentOffset(c, key)),
        {keyName, L" 超过 ", limit, L" 个字符，多出的部分不显示"}, {L"缩短到 ", limit, L" 个字符以内"});
}

void CheckHotkeyMessage(Checker& c, const XmlElement& language) {
    XmlElement key = language.childByName(KD_MSG_HOTKEY, nullptr);
    const wchar_t* value = key.text(0);
    if (!value) return;
    bool slot = false, other = false;
    for (const wchar_t* p = value; *p; ++p) {
        if (*p != L'%') continue;
        if (p[1] == L's' && !slot) {
            slot = true;
            ++p;
        } else {
            other = true;
        }
    }
    if (other)
        Add(c, Severity::Warning, "hotkey-message-format", At(c, ContentOffset(c, key)),
            {L"热键注册 的文字里除了一个 %s 还有别的 % 写法，它们会原样显示"},
            {L"只有第一个 %s 会换成菜单项的文字；去掉其余的 %（例如 %d、第二个 %s）"});
    if (!slot)
        Add(c, Severity::Note, "hotkey-message-no-slot", At(c, ContentOffset(c, key)),
            {L"热键注册 的文字里没有 %s，提示框不会说出是哪一项的快捷键失败"},
            {L"在文字里写一个 %s，它会换成菜单项的名称和快捷键"});
}

void CheckSectionAttributes(Checker& c, const XmlElement& section) {
    StartTag tag;
    ReadStartTag(c, section, &tag);
    if (tag.count == 0) return;
    wchar_t name[NAME_SIZE];
    NameAt(c.text, tag.nameOffsets[0], name);
    Add(c, Severity::Warning, "section-attribute", At(c, tag.nameOffsets[0]),
        {L"<", section.name(), L"> 的属性（如“", name, L"”）不会被读取"},
        {L"设置和提示文字要写成子元素，例如 <", section.name(), L"><", name, L">值</", name, L"></",
         section.name(), L">"});
}

void CheckSections(Checker& c, const XmlElement& root) {
    for (int32_t i = 0; i < root.childCount(); ++i) {
        XmlElement section = root.childAt(i);
        const wchar_t* name = section.name();
        if (!IsOneOf(name, SECTIONS)) {
            const wchar_t* nearest = Suggest(name, SECTIONS, 4);
            Add(c, Severity::Warning, "unknown-section", At(c, TagOffset(c, section)),
                {L"未知的段 <", name, L">，程序不读它"},
                {nearest ? L"是不是要写 <" : L"可用的段：设置、菜单、提示、语言", nearest, nearest ? L">？" : nullptr});
            continue;
        }
        XmlElement first = root.childByName(name, nullptr);
        if (first.raw() != section.raw()) {
            Add(c, Severity::Warning, "duplicate-section", At(c, TagOffset(c, section)),
                {L"第二个 <", name, L"> 段被忽略，只有第一个起作用"}, {L"把两段的内容合并到第一个 <", name, L"> 里"});
            continue;
        }
        if (!TextEqualsIgnoreAsciiCase(name, KD_SECTION_MENU)) CheckSectionAttributes(c, section);
        if (TextEqualsIgnoreAsciiCase(name, KD_SECTION_SETTINGS)) {
            CheckKeys(c, section, SETTING_KEYS, "unknown-key");
            CheckYesNo(c, section, KD_KEY_SINGLE_INSTANCE);
            CheckYesNo(c, section, KD_KEY_AUTOSTART);
            CheckLength(c, section, KD_KEY_NAME, 63);
        } else if (TextEqualsIgnoreAsciiCase(name, KD_SECTION_TIP)) {
            CheckKeys(c, section, TIP_KEYS, "unknown-key");
            CheckYesNo(c, section, KD_KEY_TIP_SHOW);
            CheckLength(c, section, KD_KEY_TIP_TEXT, 255);
            CheckLength(c, section, KD_KEY_TIP_TITLE, 63);
        } else if (TextEqualsIgnoreAsciiCase(name, KD_SECTION_LANGUAGE)) {
            CheckKeys(c, section, MESSAGE_KEYS, "unknown-message-key");
            CheckHotkeyMessage(c, section);
        }
    }
}

// ----- menu items -----

void* CreatePopup(void* context) {
    MenuRecord* menu = static_cast<MenuRecord*>(context);
    if (menu->popupCount == MAX_POPUPS) return nullptr;
    menu->popups[menu->popupCount] = {nullptr, 0};
    return reinterpret_cast<void*>(intptr_t(++menu->popupCount));
}

int32_t PopupIndex(void* menu) { return int32_t(reinterpret_cast<intptr_t>(menu)); }

void AppendPopup(void* context, void* parentMenu, void* popup, const wchar_t* text) {
    MenuRecord* menu = static_cast<MenuRecord*>(context);
    int32_t index = PopupIndex(popup);
    if (index > 0) menu->popups[index - 1] = {text, PopupIndex(parentMenu)};
}

void AppendSeparator(void*, void*) {}

void AppendItem(void* context, void* parentMenu, uint32_t, int32_t identifier, const wchar_t*) {
    MenuRecord* menu = static_cast<MenuRecord*>(context);
    if (menu->itemCount == menu->itemCapacity) {
        int32_t capacity = menu->itemCapacity ? menu->itemCapacity * 2 : 64;
        void* grown = realloc(menu->items, size_t(capacity) * sizeof(WalkedItem));
        if (!grown) return;
        menu->items = static_cast<WalkedItem*>(grown);
        menu->itemCapacity = capacity;
    }
    menu->items[menu->itemCount++] = {PopupIndex(parentMenu), identifier};
}

// Nothing is registered: the checker only looks.
void RegisterNothing(void*, const XmlElement&, const wchar_t*, int32_t) {}

void ItemPath(const MenuRecord& menu, int32_t popup, ItemRow* row) {
    const wchar_t* names[MAX_POPUPS];
    int32_t count = 0;
    // The outermost popup is the 菜单 element itself, whose name is not shown.
    while (popup > 0 && count < MAX_POPUPS) {
        const Popup& p = menu.popups[popup - 1];
        if (p.parent == 0) break;
        names[count++] = p.name;
        popup = p.parent;
    }
    row->pathCount = 0;
    while (count > 0 && row->pathCount < MAX_PATH_NAMES) row->path[row->pathCount++] = names[--count];
}

const wchar_t* const KEY_SUGGESTIONS[] = {
    L"End",   L"Home",   L"PgUp",  L"PgDn", L"Up",  L"Down", L"Left", L"Right", L"PrtSc", L"Del", L"Delete",
    L"Insert", L"Esc",   L"Space", L"Tab",  L"F1",  L"F2",   L"F3",   L"F4",    L"F5",    L"F6",  L"F7",
    L"F8",    L"F9",     L"F10",   L"F11",  L"F12", L"Page Up", L"Print Screen",
};

// Names a user tries for keys the program names otherwise.
const Alias KEY_ALIASES[] = {
    {L"pagedown", L"PgDn"}, {L"page down", L"PgDn"}, {L"pgdown", L"PgDn"},     {L"pageup", L"PgUp"},
    {L"escape", L"Esc"},    {L"ins", L"Insert"},     {L"printscreen", L"PrtSc"}, {L"prtscn", L"PrtSc"},
};

const wchar_t* SuggestKey(const wchar_t* keyPart) {
    for (const Alias& alias : KEY_ALIASES)
        if (TextEqualsIgnoreAsciiCase(keyPart, alias.word)) return alias.section;
    return NearestName(keyPart, KEY_SUGGESTIONS, sizeof KEY_SUGGESTIONS / sizeof *KEY_SUGGESTIONS,
                       TextLength(keyPart) <= 3 ? 1 : 2);
}

bool HasBlank(const wchar_t* text) {
    for (; *text; ++text)
        if (*text == L' ' || *text == L'\t' || *text == 0x3000) return true;
    return false;
}

// Explains why a hotkey text is not registered; false when it reads.
void ExplainUnreadableHotkey(Checker& c, const wchar_t* hotkey, CheckPosition position) {
    const wchar_t* keyPart = nullptr;
    for (const wchar_t* p = hotkey; *p; ++p)
        if (*p == L'+') keyPart = p + 1;
    if (TextLength(hotkey) > HOTKEY_TEXT_MAX) {
        Add(c, Severity::Warning, "hotkey-too-long", position, {L"快捷键“", hotkey, L"”超过 31 个字符，程序不注册它"},
            {L"写短一些，例如 Ctrl+Alt+N"});
    } else if (HasBlank(hotkey)) {
        wchar_t squeezed[HOTKEY_TEXT_MAX + 1];
        size_t n = 0;
        for (const wchar_t* p = hotkey; *p && n < HOTKEY_TEXT_MAX; ++p)
            if (*p != L' ' && *p != L'\t' && *p != 0x3000) squeezed[n++] = *p;
        squeezed[n] = 0;
        bool reads = ReadHotkey(squeezed, nullptr, nullptr);
        Add(c, Severity::Warning, "hotkey-spaces", position,
            {L"快捷键“", hotkey, L"”里有空格：程序不跳过空格，最后一个“+”之后的“", keyPart ? keyPart : L"",
             L"”不是按键名"},
            {reads ? L"去掉空格，写成 " : L"去掉空格，写成 修饰键+按键，例如 Ctrl+Alt+F5", reads ? squeezed : nullptr});
    } else if (!keyPart) {
        Add(c, Severity::Warning, "hotkey-no-plus", position, {L"快捷键“", hotkey, L"”里没有“+”，读不出按键"},
            {L"写成 修饰键+按键，例如 Ctrl+Alt+N"});
    } else if (!*keyPart) {
        Add(c, Severity::Warning, "hotkey-plus-key", position,
            {L"快捷键“", hotkey, L"”最后一个“+”之后是空的：“+”键本身不能用作快捷键"},
            {L"换一个按键：字母、数字、F1–F19，或 Home、End、PgUp、PgDn 等按键名"});
    } else if (HotkeyKeyCode(hotkey) == 0) {
        const wchar_t* nearest = SuggestKey(keyPart);
        Add(c, Severity::Warning, "hotkey-unknown-key", position, {L"“", keyPart, L"”不是程序认识的按键名"},
            {nearest ? L"是不是要写“" : L"", nearest, nearest ? L"”？" : nullptr,
             L"可用：A–Z、0–9、F1–F19、End、Home、PgUp、PgDn、Up、Down、Left、Right（或 ↑↓←→）、PrtSc、Del、Insert、"
             L"Esc、Space、Tab"});
    } else {
        Add(c, Severity::Warning, "hotkey-no-modifier", position,
            {L"快捷键“", hotkey, L"”里没有 Ctrl、Alt、Shift 或 Win，程序不注册它"},
            {L"至少加一个修饰键，例如 Ctrl+Alt+", keyPart});
    }
}

// The key part starts with f but is not F1 to F24: the program adds character codes.
bool OddFunctionKey(const wchar_t* keyPart) {
    if ((keyPart[0] != L'f' && keyPart[0] != L'F') || keyPart[1] == 0) return false;
    int32_t number = 0;
    for (const wchar_t* p = keyPart + 1; *p; ++p) {
        if (*p < L'0' || *p > L'9') return true;
        number = number * 10 + (*p - L'0');
    }
    return number < 1 || number > 24 || keyPart[1] == L'0';
}

bool CheckHotkey(Checker& c, const XmlElement& element, int32_t item, const wchar_t* hotkey) {
    CheckPosition position = At(c, AttributeOffset(c, element, KD_ATTR_HOTKEY));
    uint32_t modifiers = 0, key = 0;
    if (!ReadHotkey(hotkey, &modifiers, &key)) {
        ExplainUnreadableHotkey(c, hotkey, position);
        return false;
    }
    const wchar_t* keyPart = hotkey;
    for (const wchar_t* p = hotkey; *p; ++p)
        if (*p == L'+') keyPart = p + 1;
    if (HotkeyKeyCode(hotkey) != 0 && TextLength(keyPart) > 1 && OddFunctionKey(keyPart))
        Add(c, Severity::Warning, "hotkey-odd-key", position, {L"“", keyPart, L"”不是功能键 F1–F24，程序会注册别的按键"},
            {L"功能键写成 F1 到 F19"});
    for (int32_t i = 0; i < c.hotkeyCount; ++i) {
        if (c.hotkeys[i].modifiers != modifiers || c.hotkeys[i].key != key) continue;
        const ItemRow& earlier = c.report->items[c.hotkeys[i].item];
        wchar_t line[12];
        FormatNumber(line, c.hotkeys[i].position.line);
        Add(c, Severity::Warning, "hotkey-duplicate", position,
            {L"快捷键“", hotkey, L"”与第 ", line, L" 行的“", earlier.label, L"”相同，这一项注册会失败"},
            {L"给这一项换一个快捷键"});
        return false;
    }
    if (c.hotkeyCount < MAX_ITEMS) c.hotkeys[c.hotkeyCount++] = {modifiers, key, item, position};
    if (c.platform->hotkeyTaken && c.platform->hotkeyTaken(modifiers, key)) {
        Add(c, Severity::Warning, "hotkey-taken", position,
            {L"快捷键“", hotkey, L"”现在被另一个程序占用，KeyDeputy 启动时注册会失败"},
            {L"换一个快捷键，或先关掉占用它的程序"});
        return false;
    }
    return true;
}

void CheckAttributes(Checker& c, const XmlElement& element) {
    StartTag tag;
    ReadStartTag(c, element, &tag);
    for (int32_t i = 0; i < tag.count; ++i) {
        wchar_t name[NAME_SIZE];
        NameAt(c.text, tag.nameOffsets[i], name);
        bool known = IsOneOf(name, ITEM_ATTRIBUTES);
        CheckPosition position = At(c, tag.nameOffsets[i]);
        if (!tag.hasValue[i] && !known) {
            Add(c, Severity::Warning, "label-space", position,
                {L"菜单项名称里有空格：菜单只显示“", element.name(), L"”，“", name, L"”被当作属性"},
                {L"元素名（菜单上显示的文字）不能含空格；去掉空格或换成别的字符，例如“", element.name(), name,
                 L"”"});
        } else if (!tag.hasValue[i]) {
            Add(c, Severity::Warning, "attribute-no-value", position, {L"属性“", name, L"”没有值，程序当它不存在"},
                {L"写成 ", name, L"=\"值\""});
        } else if (!known) {
            const wchar_t* nearest = NearestName(name, ITEM_ATTRIBUTES, 3, 1);
            Add(c, Severity::Warning, "unknown-attribute", position, {L"未知属性“", name, L"”被忽略"},
                {nearest ? L"是不是要写“" : L"菜单项只认 快捷键、可选、选中 三个属性", nearest,
                 nearest ? L"”？" : nullptr});
        }
    }
    const wchar_t* selectable = element.attributeValue(KD_ATTR_SELECTABLE, nullptr);
    if (selectable && !TextEquals(selectable, KD_NO) && !TextEquals(selectable, KD_YES))
        Add(c, Severity::Warning, "yes-no-value", At(c, AttributeOffset(c, element, KD_ATTR_SELECTABLE)),
            {L"可选=\"", selectable, L"\" 不会让菜单项变灰，只有“否”会"}, {L"要变灰写 可选=\"否\"，否则删掉这个属性"});
    const wchar_t* checked = element.attributeValue(KD_ATTR_CHECKED, nullptr);
    if (checked && !TextEquals(checked, KD_NO) && !TextEquals(checked, KD_YES))
        Add(c, Severity::Warning, "yes-no-value", At(c, AttributeOffset(c, element, KD_ATTR_CHECKED)),
            {L"选中=\"", checked, L"\" 不会显示勾号，只有“是”会"}, {L"要勾号写 选中=\"是\""});
}

// An action name written with blanks or full-width signs; null when there is none.
const wchar_t* NearAction(const wchar_t* command) {
    wchar_t plain[ACTION_NAME_SIZE];
    size_t n = 0;
    for (const wchar_t* p = command; *p; ++p) {
        wchar_t ch = *p;
        if (ch == L' ' || ch == L'\t' || ch == 0x3000) continue;
        if (ch == 0xFF0B) ch = L'+';
        if (ch == 0xFF0D || ch == 0x2212) ch = L'-';
        if (n + 1 >= size_t(ACTION_NAME_SIZE)) return nullptr;
        plain[n++] = ch;
    }
    plain[n] = 0;
    int32_t row = FindActionRow(plain);
    if (row != NO_ACTION_ROW) return ActionNames[row];
    const wchar_t* names[ACTION_COUNT];
    for (int32_t i = 0; i < ACTION_COUNT; ++i) names[i] = ActionNames[i];
    // One character off, for texts of an action name's size only.
    if (TextLength(plain) < 2 || TextLength(plain) > 6) return nullptr;
    return NearestName(plain, names, size_t(ACTION_COUNT), 1);
}

bool EndsWithProgram(const wchar_t* text, size_t length) {
    static const wchar_t* const EXTENSIONS[] = {L".exe", L".bat", L".cmd", L".com", L".lnk", L".msc"};
    for (const wchar_t* extension : EXTENSIONS) {
        size_t k = TextLength(extension);
        if (length < k) continue;
        wchar_t tail[8];
        for (size_t i = 0; i < k; ++i) tail[i] = text[length - k + i];
        tail[k] = 0;
        if (TextEqualsIgnoreAsciiCase(tail, extension)) return true;
    }
    return false;
}

// A program name followed by a blank and more text, or a quoted program name.
bool HasArguments(const wchar_t* command) {
    if (command[0] == L'"') return true;
    for (size_t i = 0; command[i]; ++i)
        if (command[i] == L' ' && command[i + 1] && EndsWithProgram(command, i)) return true;
    return false;
}

bool IsPlainPath(const wchar_t* command) {
    bool drive = ((command[0] >= L'A' && command[0] <= L'Z') || (command[0] >= L'a' && command[0] <= L'z')) &&
                 command[1] == L':' && command[2] == L'\\';
    bool share = command[0] == L'\\' && command[1] == L'\\';
    return (drive || share) && !TextContains(command, L"%");
}

void CheckResolution(Checker& c, const XmlElement& element, const wchar_t* command) {
    int32_t width, height;
    if (ReadResolutionText(command, &width, &height)) return;
    CheckPosition position = At(c, ContentOffset(c, element));
    // The same text with full-width signs and stray blanks put right, when that reads.
    wchar_t fixed[64];
    size_t n = 0;
    for (const wchar_t* p = command; *p && n + 1 < sizeof fixed / sizeof *fixed; ++p) {
        wchar_t ch = *p;
        if (ch == 0xFF08) ch = L'(';
        if (ch == 0xFF09) ch = L')';
        if (ch == 0xFF0C) ch = L',';
        if (ch == L' ' || ch == 0x3000) continue;
        fixed[n++] = ch;
    }
    fixed[n] = 0;
    bool fixable = ReadResolutionText(fixed, &width, &height);
    bool starts = TextLength(command) >= 3 && command[0] == L'分' && command[1] == L'辨' && command[2] == L'率';
    Add(c, Severity::Warning, "resolution-refused", position,
        {L"命令“", command,
         starts ? L"”读不出宽和高，程序会恢复原分辨率并提示失败"
                : L"”含有“分辨率”，程序把它当作分辨率命令而不是交给系统打开，结果只会提示失败"},
        {fixable ? L"写成 " : L"写成 分辨率(宽,高)，用半角括号和逗号，例如 分辨率(1024,768)", fixable ? fixed : nullptr});
}

void CheckCommand(Checker& c, const XmlElement& element, const wchar_t* command, ItemRow* row) {
    DispatchDecision decision = DecideDispatch(command, nullptr);
    if (decision.kind == DispatchKind::Resolution) {
        row->kind = ItemKind::Resolution;
        CheckResolution(c, element, command);
        return;
    }
    if (decision.kind == DispatchKind::Action) {
        row->kind = ItemKind::Action;
        if (decision.actionRow == EXIT_ROW) c.sawExit = true;
        return;
    }
    row->kind = ItemKind::Shell;
    if (!element.text(0)) {
        // A greyed entry without a hotkey is a caption: it can never be run.
        bool caption = TextEquals(element.attributeValue(KD_ATTR_SELECTABLE, nullptr), KD_NO) &&
                       !element.attributeValue(KD_ATTR_HOTKEY, nullptr);
        if (caption) return;
        Add(c, Severity::Warning, "no-command", At(c, TagOffset(c, element)),
            {L"“", element.name(), L"”没有命令：程序把“未定义”交给系统打开，选它什么也不会发生"},
            {L"在开始标签和结束标签之间写上命令，例如 <", element.name(), L">notepad.exe</", element.name(), L">"});
        return;
    }
    CheckPosition position = At(c, ContentOffset(c, element));
    if (const wchar_t* action = NearAction(command)) {
        Add(c, Severity::Warning, "near-action", position,
            {L"“", command, L"”不是动作名，程序会把它交给系统打开，结果什么也不会发生"},
            {L"动作名必须一字不差（半角符号、没有空格）：写成“", action, L"”"});
        return;
    }
    if (HasArguments(command)) {
        Add(c, Severity::Warning, "shell-arguments", position,
            {L"命令带有参数：整段“", command, L"”被当作一个文件名交给系统，这样的文件并不存在"},
            {L"命令只能是一个程序、文件、文件夹或网址；要带参数，请写一个 .bat 文件或快捷方式（.lnk），"
             L"再把它的路径写在这里"});
        return;
    }
    if (IsPlainPath(command) && c.platform->pathMissing && c.platform->pathMissing(command))
        Add(c, Severity::Warning, "shell-missing", position, {L"“", command, L"”不存在，选它什么也不会发生"},
            {L"检查路径是否写对，或那个文件是否已被移动"});
}

[[gnu::noinline]] void CheckItem(Checker& c, const XmlElement& element, int32_t walked) {
    const WalkedItem& walkedItem = c.menu->items[walked];
    if (c.report->itemCount == MAX_ITEMS) {
        ++c.report->itemsLeftOut;
        return;
    }
    int32_t index = c.report->itemCount++;
    ItemRow& row = c.report->items[index];
    row.id = walkedItem.identifier;
    ItemPath(*c.menu, walkedItem.popup, &row);
    CopyTextCut(row.label, ITEM_TEXT_SIZE, element.name());
    row.command = CommandItems[walked].command;
    row.hotkey = element.attributeValue(KD_ATTR_HOTKEY, nullptr);
    row.hotkeyUsable = row.hotkey && CheckHotkey(c, element, index, row.hotkey);

    CheckAttributes(c, element);
    size_t shown = TextLength(element.name()) + (row.hotkey ? 1 + TextLength(row.hotkey) : 0);
    if (shown >= size_t(MENU_TEXT_SIZE))
        Add(c, Severity::Warning, "label-cut", At(c, TagOffset(c, element)),
            {L"菜单项文字（名称加快捷键）超过 255 个字符，菜单只显示前 255 个"}, {L"缩短名称"});
    CheckCommand(c, element, row.command, &row);
    if (FindActionRow(row.command) == HIDE_ICON_ROW) {
        if (row.hotkeyUsable) c.hideIconUndoable = true;
        if (c.hideIconCount < 8) c.hideIconPositions[c.hideIconCount++] = At(c, TagOffset(c, element));
    }
}

// Every element of the menu in document order, as the walk reads them; command items
// are matched with the walk's records, which leaves out what it could not store.
void VisitMenu(Checker& c, const XmlElement& element) {
    int32_t count = element.childCount();
    if (count > 0) {
        if (element.attributeValue(KD_ATTR_HOTKEY, nullptr))
            Add(c, Severity::Note, "hotkey-ignored", At(c, AttributeOffset(c, element, KD_ATTR_HOTKEY)),
                {L"“", element.name(), L"”是子菜单，它的快捷键不起作用"}, {L"快捷键只能写在没有子元素的菜单项上"});
        for (int32_t i = 0; i < count; ++i) VisitMenu(c, element.childAt(i));
        return;
    }
    if (TextEquals(element.name(), KD_MENU_SEPARATOR)) return;
    const wchar_t* text = element.text(0);
    const wchar_t* command = text ? text : KD_UNDEFINED_COMMAND;
    if (c.walkedIndex < c.menu->itemCount && TextEquals(CommandItems[c.walkedIndex].command, command)) {
        CheckItem(c, element, c.walkedIndex++);
        return;
    }
    wchar_t length[12];
    FormatNumber(length, int64_t(TextLength(command)));
    Add(c, Severity::Warning, "command-too-long", At(c, TagOffset(c, element)),
        {L"“", element.name(), L"”的命令有 ", length, L" 个字符，超过 1023 个：程序不加入这一项，菜单里没有它"},
        {L"缩短命令，或把它写进一个 .bat 文件再在这里写那个文件的路径"});
}

void CheckMenu(Checker& c, const XmlElement& root) {
    XmlElement menuSection = root.childByName(KD_SECTION_MENU, nullptr);
    if (menuSection.isEmpty()) {
        Add(c, Severity::Warning, "no-menu", {0, 0}, {L"没有 <菜单> 段：程序运行后没有托盘菜单，也没有快捷键"},
            {L"在 <KeyDeputy> 里加上 <菜单>…</菜单>，参考示例配置"});
        return;
    }
    if (menuSection.childCount() == 0) {
        Add(c, Severity::Warning, "empty-menu", At(c, TagOffset(c, menuSection)),
            {L"<菜单> 里没有任何菜单项：程序运行后没有托盘菜单"}, {L"在 <菜单> 里写上菜单项"});
        return;
    }
    if (!InitCommandItems()) return;
    MenuSink sink = {c.menu, CreatePopup, AppendPopup, AppendSeparator, AppendItem, RegisterNothing};
    WalkMenu(menuSection, nullptr, sink);
    VisitMenu(c, menuSection);
    if (!c.hideIconUndoable)
        for (int32_t i = 0; i < c.hideIconCount; ++i)
            Add(c, Severity::Warning, "hide-icon-no-way-back", c.hideIconPositions[i],
                {L"隐藏图标后托盘菜单就打不开了，而没有能用的快捷键运行“隐藏图标”把它再显示出来"},
                {L"给这一项加一个快捷键，例如 快捷键=\"Ctrl+Alt+H\""});
    if (!c.sawExit)
        Add(c, Severity::Note, "no-exit", At(c, TagOffset(c, menuSection)), {L"菜单里没有“退出程序”，只能用任务管理器结束程序"},
            {L"加一项 <退出>退出程序</退出>"});
}

CheckEncoding EncodingOf(const XmlTextDecision& decision) {
    switch (decision.encoding) {
    case XmlTextEncoding::Utf16: return decision.skipBytes ? CheckEncoding::Utf16Bom : CheckEncoding::Utf16;
    case XmlTextEncoding::Utf8: return decision.skipBytes ? CheckEncoding::Utf8Bom : CheckEncoding::Utf8;
    default: return CheckEncoding::Ansi;
    }
}

void ReportUnread(CheckReport* report, const wchar_t* path, XmlError code, bool exists) {
    FormatXmlLoadReport(report->loadReport, LOAD_REPORT_SIZE, path, code, 0, 0, CHECK_EXPECTED_ROOT);
    if (code == XML_NO_DATA)
        AddFinding(report, Severity::Error, "file-empty", {0, 0}, {L"KeyDeputy 拒绝加载：", XmlErrorText(code)},
                   {L"文件是空的；从示例配置 KeyDeputy.xml 开始写"});
    else if (code == XML_FILE_NOT_FOUND && exists)
        AddFinding(report, Severity::Error, "file-unreadable", {0, 0}, {L"KeyDeputy 拒绝加载：", XmlErrorText(code)},
                   {L"文件存在但读不出来：检查它是否被别的程序锁住，或当前用户有没有读取权限"});
    else if (code == XML_FILE_NOT_FOUND)
        AddFinding(report, Severity::Error, "file-missing", {0, 0}, {L"KeyDeputy 拒绝加载：", XmlErrorText(code)},
                   {L"配置文件要放在程序旁边，与程序同名（KeyDeputy.xml）"});
    else
        AddFinding(report, Severity::Error, "load-error", {0, 0}, {L"KeyDeputy 拒绝加载：", XmlErrorText(code)}, {});
}

}  // namespace

CheckReport* CheckConfigBytes(const wchar_t* path, XmlError readCode, const unsigned char* bytes, size_t length,
                              bool exists, const CheckPlatform& platform) {
    CheckReport* report = new (std::nothrow) CheckReport();
    if (!report) return nullptr;
    report->ansiCodePage = platform.ansiCodePage;
    if (readCode != XML_OK) {
        ReportUnread(report, path, readCode, exists);
        return report;
    }
    // As the program's loader decides: a UTF-16 guess first, then 8-bit text in the ANSI code page.
    bool looksUtf16 = platform.looksUtf16(bytes, length);
    XmlTextDecision decision = DecideXmlTextEncoding(bytes, length, true, looksUtf16, false);
    report->encoding = EncodingOf(decision);
    if (decision.encoding == XmlTextEncoding::Utf16) {
        size_t units = (length - decision.skipBytes) / 2;
        report->text = static_cast<wchar_t*>(malloc((units + 1) * sizeof(wchar_t)));
        if (report->text) {
            const unsigned char* p = bytes + decision.skipBytes;
            size_t n = 0;
            // Up to the first zero unit, as the program's text ends there.
            while (n < units && (p[2 * n] | p[2 * n + 1])) {
                report->text[n] = wchar_t(p[2 * n] | (p[2 * n + 1] << 8));
                ++n;
            }
            report->text[n] = 0;
        }
    } else {
        report->text = platform.decode(bytes + decision.skipBytes, length - decision.skipBytes,
                                       decision.encoding == XmlTextEncoding::Utf8);
    }
    if (!report->text) {
        ReportUnread(report, path, XML_OUT_OF_MEMORY, true);
        return report;
    }

    MenuRecord* menu = static_cast<MenuRecord*>(calloc(1, sizeof(MenuRecord)));
    HotkeySeen* hotkeys = static_cast<HotkeySeen*>(calloc(MAX_ITEMS, sizeof(HotkeySeen)));
    Checker c = {report, &platform, report->text, {nullptr, 0, 0, false}, menu, hotkeys, 0, 0, false, false, 0, {}};
    XmlParseObserver observer = {&c.places, ObserveElement};
    ParseObserver = &observer;
    XmlParseResult result = {XML_OK, 0, 0};
    report->root = ParseXmlText(report->text, CHECK_EXPECTED_ROOT, &result);
    report->loads = result.code == XML_OK;
    if (!menu || !hotkeys || c.places.failed) {
        ReportUnread(report, path, XML_OUT_OF_MEMORY, true);
    } else {
        if (!report->loads) {
            FormatXmlLoadReport(report->loadReport, LOAD_REPORT_SIZE, path, result.code, result.line, result.column,
                                CHECK_EXPECTED_ROOT);
            ExplainLoadError(c, result);
        }
        // A refused file with a tree (mismatched end tags) is still explained item by item.
        if (!report->root.isEmpty()) {
            CheckSections(c, report->root);
            CheckMenu(c, report->root);
        }
    }
    ParseObserver = nullptr;
    free(c.places.items);
    if (menu) free(menu->items);
    free(menu);
    free(hotkeys);
    return report;
}

CheckReport* CheckConfigFile(const wchar_t* path, const CheckPlatform& platform) {
    unsigned char* bytes = nullptr;
    size_t length = 0;
    bool exists = false;
    XmlError code = platform.readFile(path, &bytes, &length, &exists);
    CheckReport* report = CheckConfigBytes(path, code, bytes, length, exists, platform);
    free(bytes);
    return report;
}

void ReleaseCheckReport(CheckReport* report) {
    if (!report) return;
    free(report->text);
    delete report;
}

int32_t CheckExitCode(const CheckReport& report) {
    int32_t code = 0;
    for (int32_t i = 0; i < report.findingCount; ++i) {
        if (report.findings[i].severity == Severity::Error) return 2;
        if (report.findings[i].severity == Severity::Warning) code = 1;
    }
    return code;
}

void AddFinding(CheckReport* report, Severity severity, const char* code, CheckPosition position,
                std::initializer_list<const wchar_t*> message, std::initializer_list<const wchar_t*> help) {
    if (report->findingCount == MAX_FINDINGS) {
        ++report->findingsLeftOut;
        return;
    }
    Finding& finding = report->findings[report->findingCount++];
    finding.severity = severity;
    finding.line = position.line;
    finding.column = position.column;
    finding.code = code;
    JoinText(finding.message, FINDING_TEXT_SIZE, message);
    JoinText(finding.help, FINDING_TEXT_SIZE, help);
}
