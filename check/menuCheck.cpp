// The menu items as the program's own walk makes them: hotkeys, labels and commands
// that will not work as written, and the item table.
#include <cstdlib>

#include "actions/actionNames.h"
#include "actions/resolution.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "check/checkContext.h"
#include "check/checkText.h"
#include "lib/nearestName.h"
#include "menu/commandItems.h"
#include "menu/dispatch.h"
#include "menu/hotkey.h"
#include "menu/keyNames.h"
#include "menu/menuWalk.h"

namespace {

constexpr int32_t MAX_POPUPS = 400;
const wchar_t* const ITEM_ATTRIBUTES[] = {KD_ATTR_HOTKEY, KD_ATTR_SELECTABLE, KD_ATTR_CHECKED, KD_ATTR_PARAMETERS,
                                         KD_ATTR_FOLDER};

struct Popup {
    const wchar_t* name;
    int32_t parent;
};

// Popups as the menu walk hands them out, and the popup of each item row
// (0: the root, else popup index + 1); the paths are known once the walk is done.
struct MenuRecord {
    Popup popups[MAX_POPUPS];
    int32_t popupCount;
    int32_t rowPopups[MAX_ITEMS];
};

struct HotkeySeen {
    uint32_t modifiers;
    uint32_t key;
    int32_t item;
    CheckPosition position;
};

// The menu check's own state beside what every check shares.
struct MenuChecker : CheckContext {
    MenuRecord* menu;
    HotkeySeen* hotkeys;
    // Its own: the program that shows a refused reload's report runs on CommandItems.
    CommandList commands;
    int32_t hotkeyCount;
    bool sawExit;
    bool hideIconUndoable;
    int32_t hideIconCount;
    CheckPosition hideIconPositions[8];
};

void* CreatePopup(void* context) {
    MenuRecord* menu = static_cast<MenuChecker*>(context)->menu;
    if (menu->popupCount == MAX_POPUPS) return nullptr;
    menu->popups[menu->popupCount] = {nullptr, 0};
    return reinterpret_cast<void*>(intptr_t(++menu->popupCount));
}

int32_t PopupIndex(void* menu) { return int32_t(reinterpret_cast<intptr_t>(menu)); }

void AppendPopup(void* context, void* parentMenu, void* popup, const wchar_t* text) {
    MenuRecord* menu = static_cast<MenuChecker*>(context)->menu;
    int32_t index = PopupIndex(popup);
    if (index > 0) menu->popups[index - 1] = {text, PopupIndex(parentMenu)};
}

void AppendSeparator(void*, void*) {}

void AppendItem(void*, void*, uint32_t, int32_t, const wchar_t*) {}

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

bool HasBlank(const wchar_t* text) {
    for (; *text; ++text)
        if (*text == L' ' || *text == L'\t' || *text == 0x3000) return true;
    return false;
}

// Explains why a hotkey text is not registered, from the reason the program's reading gives.
void ExplainUnreadableHotkey(MenuChecker& c, const wchar_t* hotkey, CheckPosition position) {
    const wchar_t* keyPart = HotkeyKeyPart(hotkey);
    HotkeyRefusal reason = ReadItemHotkeyReason(hotkey, 0, nullptr, nullptr);
    if (reason == HOTKEY_TOO_LONG) {
        wchar_t most[12];
        FormatNumber(most, int64_t(HOTKEY_TEXT_MAX));
        Add(c, Severity::Warning, "hotkey-too-long", position,
            {L"快捷键“", hotkey, L"”超过 ", most, L" 个字符，程序不注册它"}, {L"写短一些，例如 Ctrl+Alt+N"});
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
    } else if (reason == HOTKEY_NO_PLUS) {
        Add(c, Severity::Warning, "hotkey-no-plus", position, {L"快捷键“", hotkey, L"”里没有“+”，读不出按键"},
            {L"写成 修饰键+按键，例如 Ctrl+Alt+N"});
    } else if (reason == HOTKEY_PLUS_KEY) {
        Add(c, Severity::Warning, "hotkey-plus-key", position,
            {L"快捷键“", hotkey, L"”最后一个“+”之后是空的：“+”键本身不能用作快捷键"},
            {L"换一个按键：字母、数字、F1–F19，或 Home、End、PgUp、PgDn 等按键名"});
    } else if (reason == HOTKEY_UNKNOWN_KEY) {
        const wchar_t* nearest = NearestKeyName(keyPart);
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

// The key part starts with f but is not F1 to F19: the program adds character codes,
// so F0 or F20 become other keys (F20 is read as F10).
bool OddFunctionKey(const wchar_t* keyPart) {
    if ((keyPart[0] != L'f' && keyPart[0] != L'F') || keyPart[1] == 0) return false;
    int32_t number = 0;
    for (const wchar_t* p = keyPart + 1; *p; ++p) {
        if (*p < L'0' || *p > L'9') return true;
        number = number * 10 + (*p - L'0');
    }
    return number < 1 || number > 19 || keyPart[1] == L'0';
}

bool CheckHotkey(MenuChecker& c, const XmlElement& element, int32_t item, const wchar_t* hotkey) {
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
        Add(c, Severity::Warning, "hotkey-odd-key", position, {L"“", keyPart, L"”不是功能键 F1–F19，程序会注册别的按键"},
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
        // Checked while the program runs: its own hotkeys are held, by itself.
        wchar_t caption[APP_CAPTION_SIZE];
        CopyTextCut(caption, APP_CAPTION_SIZE,
                    ConfigTextOf(c.report->root, KD_SECTION_SETTINGS, KD_KEY_NAME, KD_DEFAULT_CAPTION));
        if (c.platform->instanceRunning && c.platform->instanceRunning(caption)) {
            Add(c, Severity::Note, "hotkey-held-by-instance", position,
                {L"快捷键“", hotkey, L"”现在被占用，多半是正在运行的 KeyDeputy（", caption, L"）自己注册的"},
                {L"用它的“重新加载配置”换上这个文件；另开一个同名的 KeyDeputy 时这里会注册失败"});
            return true;
        }
        Add(c, Severity::Warning, "hotkey-taken", position,
            {L"快捷键“", hotkey, L"”现在被另一个程序占用，KeyDeputy 启动时注册会失败"},
            {L"换一个快捷键，或先关掉占用它的程序"});
        return false;
    }
    return true;
}

void CheckAttributes(MenuChecker& c, const XmlElement& element) {
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
            const wchar_t* nearest = NearestName(name, ITEM_ATTRIBUTES, sizeof ITEM_ATTRIBUTES / sizeof *ITEM_ATTRIBUTES, 1);
            Add(c, Severity::Warning, "unknown-attribute", position, {L"未知属性“", name, L"”被忽略"},
                {nearest ? L"是不是要写“" : L"菜单项只认 快捷键、可选、选中、参数、起始位置 五个属性", nearest,
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

void CheckResolution(MenuChecker& c, const XmlElement& element, const wchar_t* command) {
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

void CheckCommand(MenuChecker& c, const XmlElement& element, const wchar_t* command, ItemRow* row) {
    DispatchDecision decision = DecideDispatch(command, nullptr);
    if (decision.kind == DispatchKind::Resolution) {
        row->kind = ItemKind::Resolution;
        CheckResolution(c, element, command);
        return;
    }
    if (decision.kind == DispatchKind::Action) {
        row->kind = ItemKind::Action;
        if (decision.actionRow == int32_t(ActionRow::ExitProgram)) c.sawExit = true;
        return;
    }
    row->kind = ItemKind::Shell;
    if (!element.text(0)) {
        // A greyed entry without a hotkey is a caption: it can never be run.
        bool caption = TextEquals(element.attributeValue(KD_ATTR_SELECTABLE, nullptr), KD_NO) &&
                       !element.attributeValue(KD_ATTR_HOTKEY, nullptr);
        if (caption) return;
        Add(c, Severity::Warning, "no-command", At(c, TagOffset(c, element)),
            {L"“", element.name(), L"”没有命令：程序把“未定义”交给系统打开，选它只会提示打开失败"},
            {L"在开始标签和结束标签之间写上命令，例如 <", element.name(), L">notepad.exe</", element.name(), L">"});
        return;
    }
    CheckPosition position = At(c, ContentOffset(c, element));
    if (const wchar_t* action = NearAction(command)) {
        Add(c, Severity::Warning, "near-action", position,
            {L"“", command, L"”不是动作名，程序会把它交给系统打开，结果只会提示打开失败"},
            {L"动作名必须一字不差（半角符号、没有空格）：写成“", action, L"”"});
        return;
    }
    CheckShellCommand(c, element, command, row);
}

[[gnu::noinline]] void CheckItem(MenuChecker& c, const XmlElement& element, int32_t identifier, int32_t popup) {
    if (c.report->itemCount == MAX_ITEMS) {
        ++c.report->itemsLeftOut;
        return;
    }
    int32_t index = c.report->itemCount++;
    ItemRow& row = c.report->items[index];
    row.id = identifier;
    c.menu->rowPopups[index] = popup;
    CopyTextCut(row.label, ITEM_TEXT_SIZE, element.name());
    row.command = c.commands.items[identifier - FIRST_COMMAND_ID].command;
    row.hotkey = element.attributeValue(KD_ATTR_HOTKEY, nullptr);
    row.hotkeyUsable = row.hotkey && CheckHotkey(c, element, index, row.hotkey);

    CheckAttributes(c, element);
    size_t shown = TextLength(element.name()) + (row.hotkey ? 1 + TextLength(row.hotkey) : 0);
    wchar_t most[12];
    FormatNumber(most, MENU_TEXT_SIZE - 1);
    if (shown >= size_t(MENU_TEXT_SIZE))
        Add(c, Severity::Warning, "label-cut", At(c, TagOffset(c, element)),
            {L"菜单项文字（名称加快捷键）超过 ", most, L" 个字符，菜单只显示前 ", most, L" 个"}, {L"缩短名称"});
    CheckCommand(c, element, row.command, &row);
    if (FindActionRow(row.command) == int32_t(ActionRow::ToggleTrayIcon)) {
        if (row.hotkeyUsable) c.hideIconUndoable = true;
        if (c.hideIconCount < 8) c.hideIconPositions[c.hideIconCount++] = At(c, TagOffset(c, element));
    }
}

// Every element of the menu as the program's walk decides it, in document order.
void VisitElement(void* context, void* parentMenu, const XmlElement& element, MenuEntry entry, int32_t identifier) {
    MenuChecker& c = *static_cast<MenuChecker*>(context);
    switch (entry) {
    case MenuEntry::Submenu:
        if (element.attributeValue(KD_ATTR_HOTKEY, nullptr))
            Add(c, Severity::Note, "hotkey-ignored", At(c, AttributeOffset(c, element, KD_ATTR_HOTKEY)),
                {L"“", element.name(), L"”是子菜单，它的快捷键不起作用"}, {L"快捷键只能写在没有子元素的菜单项上"});
        break;
    case MenuEntry::Separator: break;
    case MenuEntry::Item: CheckItem(c, element, identifier, PopupIndex(parentMenu)); break;
    case MenuEntry::NoIdentifier:
    case MenuEntry::NoRoom:
        Add(c, Severity::Warning, "item-left-out", At(c, TagOffset(c, element)),
            {L"程序不加入“", element.name(), L"”这一项，菜单里没有它"}, {L"减少菜单项的数目"});
        break;
    case MenuEntry::CommandTooLong: {
        wchar_t length[12], most[12];
        FormatNumber(length, int64_t(TextLength(element.text(0))));
        FormatNumber(most, COMMAND_TEXT_MAX);
        Add(c, Severity::Warning, "command-too-long", At(c, TagOffset(c, element)),
            {L"“", element.name(), L"”的命令有 ", length, L" 个字符，超过 ", most, L" 个：程序不加入这一项，菜单里没有它"},
            {L"缩短命令：参数可以写在 参数 属性里，或把命令写进一个 .bat 文件再在这里写那个文件的路径"});
        break;
    }
    }
}

void CheckMenuItems(MenuChecker& c, const XmlElement& menuSection) {
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
    MenuSink sink = {&c, CreatePopup, AppendPopup, AppendSeparator, AppendItem, RegisterNothing, VisitElement, &c.commands};
    WalkMenu(menuSection, nullptr, sink);
    for (int32_t i = 0; i < c.report->itemCount; ++i) ItemPath(*c.menu, c.menu->rowPopups[i], &c.report->items[i]);
    if (!c.hideIconUndoable)
        for (int32_t i = 0; i < c.hideIconCount; ++i)
            Add(c, Severity::Warning, "hide-icon-no-way-back", c.hideIconPositions[i],
                {L"隐藏图标后托盘菜单就打不开了，而没有能用的快捷键运行“隐藏图标”把它再显示出来"},
                {L"给这一项加一个快捷键，例如 快捷键=\"Ctrl+Alt+H\""});
    if (!c.sawExit)
        Add(c, Severity::Note, "no-exit", At(c, TagOffset(c, menuSection)), {L"菜单里没有“退出程序”，只能用任务管理器结束程序"},
            {L"加一项 <退出>退出程序</退出>"});
}

}  // namespace

void CheckMenu(CheckContext& context, const XmlElement& root) {
    MenuChecker c = {};
    static_cast<CheckContext&>(c) = context;
    c.menu = static_cast<MenuRecord*>(calloc(1, sizeof(MenuRecord)));
    c.hotkeys = static_cast<HotkeySeen*>(calloc(MAX_ITEMS, sizeof(HotkeySeen)));
    if (c.menu && c.hotkeys) CheckMenuItems(c, root.childByName(KD_SECTION_MENU, nullptr));
    c.commands.releaseMemory();
    free(c.menu);
    free(c.hotkeys);
}
