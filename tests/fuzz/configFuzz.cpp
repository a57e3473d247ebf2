// Runs the whole start-up path that needs no window on an arbitrary configuration:
// parse with the expected root, the caption, every setting and message lookup, the
// menu walk into a recording sink, hotkey reading and its refusal message, and the
// dispatch, resolution and reminder decisions on every command made.
// Input: the configuration text as little-endian UTF-16 units.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "actions/actionTable.h"
#include "actions/reminder.h"
#include "actions/resolution.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "lib/textCopy.h"
#include "lib/xmlLoadReport.h"
#include "lib/xmlReader.h"
#include "menu/commandItems.h"
#include "menu/dispatch.h"
#include "menu/hotkey.h"
#include "menu/menuWalk.h"
#include "tests/fuzz/fuzzText.h"

namespace {

constexpr wchar_t CANARY = 0xA5A5;
constexpr size_t CANARY_COUNT = 8;

// Writes through the function under test into a buffer with guard units after
// capacity; none of them may change.
struct GuardedBuffer {
    wchar_t units[HOTKEY_MESSAGE_SIZE + CANARY_COUNT];
    size_t capacity;

    wchar_t* Begin(size_t withCapacity) {
        capacity = withCapacity;
        for (wchar_t& unit : units) unit = CANARY;
        return units;
    }
    void Check() const {
        FUZZ_CHECK(TextLength(units) < capacity);
        for (size_t i = capacity; i < capacity + CANARY_COUNT; ++i) FUZZ_CHECK(units[i] == CANARY);
    }
};

struct SectionKey {
    const wchar_t* section;
    const wchar_t* key;
};

const SectionKey SETTINGS_KEYS[] = {
    {KD_SECTION_SETTINGS, KD_KEY_NAME},     {KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE},
    {KD_SECTION_SETTINGS, KD_KEY_AUTOSTART}, {KD_SECTION_TIP, KD_KEY_TIP_SHOW},
    {KD_SECTION_TIP, KD_KEY_TIP_TEXT},       {KD_SECTION_TIP, KD_KEY_TIP_TITLE},
};

struct MessageKey {
    const wchar_t* key;
    const wchar_t* text;
};

const MessageKey MESSAGE_KEYS[] = {
    {KD_MSG_HOTKEY, KD_MSG_HOTKEY_TEXT},         {KD_MSG_EXIT, KD_MSG_EXIT_TEXT},
    {KD_MSG_SHUTDOWN, KD_MSG_SHUTDOWN_TEXT},     {KD_MSG_SCREENSHOT, KD_MSG_SCREENSHOT_TEXT},
    {KD_MSG_REMINDER, KD_MSG_REMINDER_TEXT},     {KD_MSG_RESOLUTION, KD_MSG_RESOLUTION_TEXT},
    {KD_MSG_AUTOSTART, KD_MSG_AUTOSTART_TEXT},   {KD_MSG_REPLACE, KD_MSG_REPLACE_TEXT},
};

void CheckLookups() {
    const wchar_t* def = L"default";
    for (const SectionKey& entry : SETTINGS_KEYS) {
        const wchar_t* text = ConfigText(entry.section, entry.key, def);
        FUZZ_CHECK(text);
        TextLength(text);
        // A flag is yes exactly when the text is 是; the default never is.
        FUZZ_CHECK(ConfigFlag(entry.section, entry.key) == TextEquals(text, KD_YES));
    }
    for (const MessageKey& entry : MESSAGE_KEYS) {
        const wchar_t* text = MessageText(entry.key, entry.text);
        FUZZ_CHECK(text);
        TextLength(text);
    }
    // Whatever the document calls its sections and keys, lookups by those names
    // answer the first match's first text.
    int32_t sections = ConfigRoot.childCount();
    for (int32_t s = 0; s < sections && s < 8; ++s) {
        XmlElement section = ConfigRoot.childAt(s);
        int32_t keys = section.childCount();
        for (int32_t k = 0; k < keys && k < 32; ++k) {
            XmlElement key = section.childAt(k);
            const wchar_t* text = ConfigText(section.name(), key.name(), def);
            FUZZ_CHECK(text);
            TextLength(text);
        }
    }
}

// The sink keeps the walk honest: entries go to the innermost open popup, each
// popup is appended to the one around it once its entries are in, identifiers
// follow the command list, and a hotkey comes just before its own item.
struct Recorder {
    std::vector<uintptr_t> openPopups;  // innermost last
    uintptr_t rootMenu;
    uintptr_t nextPopup;
    int32_t items;
    int32_t hotkeyIdentifier;  // 0: none pending
    GuardedBuffer message;

    uintptr_t Innermost() const { return openPopups.empty() ? rootMenu : openPopups.back(); }
};

Recorder& Of(void* context) { return *static_cast<Recorder*>(context); }

void* CreatePopup(void* context) {
    Recorder& r = Of(context);
    FUZZ_CHECK(r.hotkeyIdentifier == 0);
    r.openPopups.push_back(++r.nextPopup);
    return reinterpret_cast<void*>(r.nextPopup);
}

void AppendPopup(void* context, void* parentMenu, void* popup, const wchar_t* text) {
    Recorder& r = Of(context);
    FUZZ_CHECK(r.hotkeyIdentifier == 0);
    FUZZ_CHECK(!r.openPopups.empty() && reinterpret_cast<uintptr_t>(popup) == r.openPopups.back());
    r.openPopups.pop_back();
    FUZZ_CHECK(reinterpret_cast<uintptr_t>(parentMenu) == r.Innermost());
    FUZZ_CHECK(text && *text);
}

void AppendSeparator(void* context, void* parentMenu) {
    Recorder& r = Of(context);
    FUZZ_CHECK(r.hotkeyIdentifier == 0);
    FUZZ_CHECK(reinterpret_cast<uintptr_t>(parentMenu) == r.Innermost());
}

void AppendItem(void* context, void* parentMenu, uint32_t flags, int32_t identifier, const wchar_t* shownText) {
    Recorder& r = Of(context);
    FUZZ_CHECK(reinterpret_cast<uintptr_t>(parentMenu) == r.Innermost());
    FUZZ_CHECK((flags & ~(MENU_GRAYED | MENU_CHECKED)) == 0);
    FUZZ_CHECK(identifier == FIRST_COMMAND_ID + CommandItems.count);
    FUZZ_CHECK(identifier == FIRST_COMMAND_ID + r.items);
    FUZZ_CHECK(r.hotkeyIdentifier == 0 || r.hotkeyIdentifier == identifier);
    FUZZ_CHECK(shownText && TextLength(shownText) < size_t(MENU_TEXT_SIZE));
    r.hotkeyIdentifier = 0;
    ++r.items;
}

// What the platform side does before it registers: read the text, and format the
// refusal message with the 语言 override, here into guarded buffers of every
// interesting size.
void RegisterHotkey(void* context, const XmlElement& element, const wchar_t* shownText, int32_t identifier) {
    Recorder& r = Of(context);
    FUZZ_CHECK(r.hotkeyIdentifier == 0);
    FUZZ_CHECK(shownText && TextLength(shownText) < size_t(MENU_TEXT_SIZE));
    r.hotkeyIdentifier = identifier;

    const wchar_t* hotkey = element.attributeValue(KD_ATTR_HOTKEY, nullptr);
    FUZZ_CHECK(hotkey);
    uint32_t modifiers = 0xDEAD, key = 0xDEAD;
    bool readable = ReadHotkey(hotkey, &modifiers, &key);
    FUZZ_CHECK((modifiers & ~uint32_t(HOTKEY_ALT | HOTKEY_CONTROL | HOTKEY_SHIFT | HOTKEY_WIN)) == 0);
    FUZZ_CHECK(readable == (modifiers != 0 && key != 0));
    if (readable) FUZZ_CHECK(TextLength(hotkey) <= HOTKEY_TEXT_MAX && TextContains(hotkey, L"+"));
    if (TextLength(hotkey) <= HOTKEY_TEXT_MAX) {
        FUZZ_CHECK(modifiers == HotkeyModifiers(hotkey));
        FUZZ_CHECK(key == HotkeyKeyCode(hotkey));
    }

    const wchar_t* format = MessageText(KD_MSG_HOTKEY, KD_MSG_HOTKEY_TEXT);
    for (size_t capacity : {size_t(1), size_t(2), size_t(3), size_t(17), HOTKEY_MESSAGE_SIZE}) {
        FormatHotkeyMessage(format, shownText, r.message.Begin(capacity), capacity);
        r.message.Check();
    }
}

void CheckCommands() {
    FUZZ_CHECK(CommandItems.count >= 0 && CommandItems.count <= CommandItems.capacity);
    for (int32_t i = 0; i < CommandItems.count; ++i) {
        const CommandItem& item = CommandItems.items[i];
        size_t length = TextLength(item.command);
        FUZZ_CHECK(length <= size_t(COMMAND_TEXT_MAX));
        FUZZ_CHECK(item.handler == nullptr);

        DispatchDecision decision = DecideDispatch(item.command, nullptr);
        ActionHandler named = FindAction(item.command);
        switch (decision.kind) {
        case DispatchKind::Resolution:
            FUZZ_CHECK(TextContains(item.command, KD_RESOLUTION_WORD));
            break;
        case DispatchKind::Action:
            FUZZ_CHECK(named && ActionTable[decision.actionRow].handler == named);
            break;
        case DispatchKind::Shell:
            FUZZ_CHECK(!named && !TextContains(item.command, KD_RESOLUTION_WORD));
            break;
        case DispatchKind::CachedHandler:
            FUZZ_CHECK(false);
            break;
        }
        // Once a handler is stored it wins over whatever the text says.
        DispatchDecision cached = DecideDispatch(item.command, ActionTable[0].handler);
        FUZZ_CHECK(cached.kind == DispatchKind::CachedHandler && cached.handler == ActionTable[0].handler);

        int32_t width = -1, height = -1;
        if (ReadResolutionText(item.command, &width, &height)) {
            FUZZ_CHECK(width > 0 && height > 0);
            FUZZ_CHECK(decision.kind == DispatchKind::Resolution);
        } else {
            FUZZ_CHECK(width == -1 && height == -1);
        }

        int32_t actionRow = 1;
        ReminderOutcome outcome = DecideReminder(item.command, false, &actionRow);
        FUZZ_CHECK((outcome == REMINDER_ACTION) == (actionRow != NO_ACTION_ROW));
        if (outcome == REMINDER_ACTION) FUZZ_CHECK(ActionTable[actionRow].handler == named);
        FUZZ_CHECK((outcome == REMINDER_POWER_ONLY) == (length < 2));
    }
}

void CheckLoadReport(const XmlParseResult& result) {
    wchar_t report[XML_LOAD_REPORT_SIZE + CANARY_COUNT];
    for (wchar_t& unit : report) unit = CANARY;
    FormatXmlLoadReport(report, XML_LOAD_REPORT_SIZE, L"C:\\KeyDeputy\\KeyDeputy.xml", result.code, result.line,
                        result.column, KD_ROOT);
    FUZZ_CHECK(TextLength(report) < XML_LOAD_REPORT_SIZE);
    for (size_t i = XML_LOAD_REPORT_SIZE; i < XML_LOAD_REPORT_SIZE + CANARY_COUNT; ++i) FUZZ_CHECK(report[i] == CANARY);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wchar_t* text = FuzzUtf16Text(data, size);
    XmlParseResult result = {XML_OK, 0, 0};
    XmlElement root = ParseXmlText(text, KD_ROOT, &result);
    if (result.code != XML_OK) {
        // Start-up refuses the file: the report is all that is left to do.
        root.release();
        CheckLoadReport(result);
        free(text);
        return 0;
    }
    FUZZ_CHECK(TextEqualsIgnoreAsciiCase(root.name(), KD_ROOT));
    // The tree must not depend on the text it was read from.
    free(text);
    ConfigRoot = root;
    root.release();

    LoadAppCaption();
    FUZZ_CHECK(TextLength(AppCaption) < size_t(APP_CAPTION_SIZE));
    CheckLookups();

    FUZZ_CHECK(InitCommandItems());
    Recorder recorder = {};
    recorder.rootMenu = 1;
    recorder.nextPopup = 1;
    MenuSink sink = {&recorder, CreatePopup, AppendPopup, AppendSeparator, AppendItem, RegisterHotkey, nullptr, &CommandItems};
    XmlElement menu = ConfigRoot.childByName(KD_SECTION_MENU, nullptr);
    WalkMenu(menu, reinterpret_cast<void*>(recorder.rootMenu), sink);
    FUZZ_CHECK(recorder.openPopups.empty() && recorder.hotkeyIdentifier == 0);
    FUZZ_CHECK(recorder.items == CommandItems.count);
    CheckCommands();

    menu.release();
    CommandItems.releaseMemory();
    ConfigRoot.release();
    return 0;
}
