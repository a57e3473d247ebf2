// The sections and their keys: what the program ignores or reads otherwise than written.
#include "app/configLookup.h"
#include "app/messages.h"
#include "check/checkContext.h"
#include "check/checkText.h"
#include "lib/nearestName.h"

namespace {

const wchar_t* const SECTIONS[] = {KD_SECTION_SETTINGS, KD_SECTION_MENU, KD_SECTION_TIP, KD_SECTION_LANGUAGE};
const wchar_t* const SETTING_KEYS[] = {KD_KEY_NAME, KD_KEY_SINGLE_INSTANCE, KD_KEY_AUTOSTART, KD_KEY_AUTO_RELOAD};
const wchar_t* const TIP_KEYS[] = {KD_KEY_TIP_SHOW, KD_KEY_TIP_TEXT, KD_KEY_TIP_TITLE};
const wchar_t* const MESSAGE_KEYS[] = {KD_MSG_HOTKEY, KD_MSG_EXIT,       KD_MSG_SHUTDOWN, KD_MSG_SCREENSHOT,
                                       KD_MSG_REMINDER, KD_MSG_RESOLUTION, KD_MSG_AUTOSTART, KD_MSG_REPLACE,
                                       KD_MSG_WINDOW,   KD_MSG_AUTOSTART_LEFT, KD_MSG_SAVE_FAILED, KD_MSG_EXIT_PENDING,
                                       KD_MSG_CLIPBOARD, KD_MSG_RELOADED, KD_MSG_RESTART_SETTINGS, KD_MSG_RELOAD_KEPT,
                                       KD_MSG_NO_MENU, KD_MSG_COMMAND};

// English words a new user tries for the sections.
const NameAlias SECTION_ALIASES[] = {
    {L"menu", KD_SECTION_MENU},         {L"menus", KD_SECTION_MENU},         {L"settings", KD_SECTION_SETTINGS},
    {L"setting", KD_SECTION_SETTINGS},  {L"config", KD_SECTION_SETTINGS},    {L"options", KD_SECTION_SETTINGS},
    {L"tip", KD_SECTION_TIP},           {L"tips", KD_SECTION_TIP},           {L"balloon", KD_SECTION_TIP},
    {L"language", KD_SECTION_LANGUAGE}, {L"messages", KD_SECTION_LANGUAGE}, {L"lang", KD_SECTION_LANGUAGE},
};

const wchar_t* Suggest(const wchar_t* name, const wchar_t* const* names, size_t count) {
    const wchar_t* nearest = NearestName(name, names, count, TextLength(name) <= 2 ? 1 : 2);
    for (const NameAlias& alias : SECTION_ALIASES)
        if (names == SECTIONS && TextEqualsIgnoreAsciiCase(name, alias.word)) nearest = alias.name;
    return nearest;
}

template <size_t N>
void CheckKeys(CheckContext& c, const XmlElement& section, const wchar_t* const (&keys)[N], const char* code) {
    for (int32_t i = 0; i < section.childCount(); ++i) {
        XmlElement key = section.childAt(i);
        if (IsOneOf(key.name(), keys)) continue;
        const wchar_t* nearest = Suggest(key.name(), keys, N);
        Add(c, Severity::Warning, code, At(c, TagOffset(c, key)),
            {L"<", section.name(), L"> 里没有叫“", key.name(), L"”的项，程序不读它"},
            {nearest ? L"是不是要写“" : L"可用的项见 README 的配置说明", nearest, nearest ? L"”？" : nullptr});
    }
}

void CheckYesNo(CheckContext& c, const XmlElement& section, const wchar_t* keyName) {
    XmlElement key = section.childByName(keyName, nullptr);
    const wchar_t* value = key.text(0);
    if (!value || TextEquals(value, KD_YES) || TextEquals(value, KD_NO)) return;
    Add(c, Severity::Warning, "yes-no-value", At(c, ContentOffset(c, key)),
        {L"“", value, L"”不是“是”，程序把 ", keyName, L" 当作“否”"},
        {L"是/否 设置只认“是”一个写法：开启写“是”，关闭写“否”"});
}

void CheckLength(CheckContext& c, const XmlElement& section, const wchar_t* keyName, size_t most) {
    XmlElement key = section.childByName(keyName, nullptr);
    const wchar_t* value = key.text(0);
    if (!value || TextLength(value) <= most) return;
    wchar_t limit[12];
    FormatNumber(limit, int64_t(most));
    Add(c, Severity::Note, "value-cut", At(c, ContentOffset(c, key)),
        {keyName, L" 超过 ", limit, L" 个字符，多出的部分不显示"}, {L"缩短到 ", limit, L" 个字符以内"});
}

// A message that takes one %s: its first %s is replaced, every other % shows as written.
struct FormatMessage {
    const wchar_t* key;
    const char* otherCode;
    const char* noSlotCode;
    const wchar_t* slotMeaning;  // what the %s becomes
    const wchar_t* noSlotEffect;
};

const FormatMessage FORMAT_MESSAGES[] = {
    {KD_MSG_HOTKEY, "hotkey-message-format", "hotkey-message-no-slot", L"菜单项的名称和快捷键",
     L"提示框不会说出是哪一项的快捷键失败"},
    {KD_MSG_REPLACE, "replace-message-format", "replace-message-no-slot", L"要替换的文件的完整路径",
     L"提问时不会说出是哪个文件"},
    {KD_MSG_SAVE_FAILED, "save-failed-message-format", "save-failed-message-no-slot", L"截图文件的完整路径和失败原因",
     L"提示框不会说出是哪个文件、为什么失败"},
    {KD_MSG_EXIT_PENDING, "exit-pending-message-format", "exit-pending-message-no-slot", L"未到时间的提醒个数",
     L"退出前的提问不会说出有几个提醒"},
    {KD_MSG_COMMAND, "command-message-format", "command-message-no-slot", L"打不开的命令",
     L"提示框不会说出是哪个命令打不开"},
};

void CheckFormatMessage(CheckContext& c, const XmlElement& language, const FormatMessage& format) {
    XmlElement key = language.childByName(format.key, nullptr);
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
        Add(c, Severity::Warning, format.otherCode, At(c, ContentOffset(c, key)),
            {format.key, L" 的文字里除了一个 %s 还有别的 % 写法，它们会原样显示"},
            {L"只有第一个 %s 会换成", format.slotMeaning, L"；去掉其余的 %（例如 %d、第二个 %s）"});
    if (!slot)
        Add(c, Severity::Note, format.noSlotCode, At(c, ContentOffset(c, key)),
            {format.key, L" 的文字里没有 %s，", format.noSlotEffect},
            {L"在文字里写一个 %s，它会换成", format.slotMeaning});
}

void CheckSectionAttributes(CheckContext& c, const XmlElement& section) {
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

}  // namespace

void CheckSections(CheckContext& c, const XmlElement& root) {
    for (int32_t i = 0; i < root.childCount(); ++i) {
        XmlElement section = root.childAt(i);
        const wchar_t* name = section.name();
        if (!IsOneOf(name, SECTIONS)) {
            const wchar_t* nearest = ReportFull(c) ? nullptr : Suggest(name, SECTIONS, 4);
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
            CheckYesNo(c, section, KD_KEY_AUTO_RELOAD);
            CheckLength(c, section, KD_KEY_NAME, APP_CAPTION_SIZE - 1);
        } else if (TextEqualsIgnoreAsciiCase(name, KD_SECTION_TIP)) {
            CheckKeys(c, section, TIP_KEYS, "unknown-key");
            CheckYesNo(c, section, KD_KEY_TIP_SHOW);
            CheckLength(c, section, KD_KEY_TIP_TEXT, TIP_TEXT_SIZE - 1);
            CheckLength(c, section, KD_KEY_TIP_TITLE, TIP_TITLE_SIZE - 1);
        } else if (TextEqualsIgnoreAsciiCase(name, KD_SECTION_LANGUAGE)) {
            CheckKeys(c, section, MESSAGE_KEYS, "unknown-message-key");
            for (const FormatMessage& format : FORMAT_MESSAGES) CheckFormatMessage(c, section, format);
        }
    }
}
