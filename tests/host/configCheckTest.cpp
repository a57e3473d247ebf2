// KeyDeputyCheck over broken configurations: each finding at the position of its cause,
// with its severity, and the exit code; the sample configuration checks clean.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "check/checkOutput.h"
#include "check/checkProgram.h"
#include "check/configCheck.h"
#include "check/excerpt.h"
#include "check/hostPlatform.h"
#include "check/loadCause.h"
#include "lib/nearestName.h"
#include "lib/textCopy.h"
#include "menu/commandItems.h"

namespace {

struct Case {
    const char* xml;  // UTF-8
    Severity severity;
    const char* code;
    int32_t line;
    int32_t column;
    int32_t exitCode;
};

CheckReport* CheckBytes(const char* bytes, size_t length) {
    return CheckConfigBytes(L"KeyDeputy.xml", length ? XML_OK : XML_NO_DATA,
                            reinterpret_cast<const unsigned char*>(bytes), length, true, HostCheckPlatform);
}

CheckReport* CheckXml(const char* xml) { return CheckBytes(xml, strlen(xml)); }

const Finding* FindCode(const CheckReport& report, const char* code) {
    for (int32_t i = 0; i < report.findingCount; ++i)
        if (strcmp(report.findings[i].code, code) == 0) return &report.findings[i];
    return nullptr;
}

std::string Codes(const CheckReport& report) {
    std::string codes;
    for (int32_t i = 0; i < report.findingCount; ++i) codes += std::string(report.findings[i].code) + " ";
    return codes;
}

void ExpectCases(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        CheckReport* report = CheckXml(c.xml);
        ASSERT_NE(report, nullptr);
        const Finding* finding = FindCode(*report, c.code);
        ASSERT_NE(finding, nullptr) << "no " << c.code << " among: " << Codes(*report);
        EXPECT_EQ(finding->severity, c.severity) << c.code;
        EXPECT_EQ(finding->line, c.line) << c.code;
        EXPECT_EQ(finding->column, c.column) << c.code;
        EXPECT_EQ(CheckExitCode(*report), c.exitCode) << c.code;
        ReleaseCheckReport(report);
    }
}

constexpr Severity E = Severity::Error;
constexpr Severity W = Severity::Warning;
constexpr Severity N = Severity::Note;

}  // namespace

TEST(ConfigCheck, LoadErrorsAtTheirCause) {
    ExpectCases({
        // The program reports the '&' at the end tag; the cause is the '&' itself.
        {"<KeyDeputy><菜单>\n<网站>https://a.com/?x=1&y=2</网站>\n</菜单></KeyDeputy>", E, "load-error", 2, 29, 2},
        {"<KeyDeputy><菜单>\n<网站>https://a.com/?x=1&y=2</网站>\n</菜单></KeyDeputy>", E, "bare-ampersand", 2, 23, 2},
        // A missing end tag is reported where the enclosing section ends; the cause is its start tag.
        {"<KeyDeputy>\n<菜单>\n  <记事本>notepad.exe\n  <退出>退出程序</退出>\n</菜单>\n</KeyDeputy>", E,
         "end-tag-missing", 3, 3, 2},
        {"<KeyDeputy>\n<菜单>\n<工具>\n</菜单>\n</KeyDeputy>", E, "end-tag-missing", 3, 1, 2},
        {"<KeyDeputy>\n<菜单><退出>退出程序</退出></菜单>\n<设置>", E, "end-tag-missing", 3, 1, 2},
        // An end tag that names nothing open: the cause is that end tag, not every element it closed.
        {"<KeyDeputy><菜单>\n<记事本>notepad.exe</记事板>\n</菜单></KeyDeputy>", E, "end-tag-mismatch", 2, 17, 2},
        {"<KeyDeputy><菜单>\n<打开 记事本>notepad.exe</打开 记事本>\n</菜单></KeyDeputy>", E, "name-with-space", 2, 20,
         2},
        {"<KeyDeputy><菜单>\n<a 快捷键=\"Ctrl<Alt+A\">静音</a>\n</菜单></KeyDeputy>", E, "quote-broken", 2, 8, 2},
        {"<KeyDeputy><菜单>\n<a=b>静音</a=b>\n</菜单></KeyDeputy>", E, "name-with-equals", 2, 3, 2},
        {"<?xml version=\"1.0\"?>\n<配置><菜单/></配置>", E, "wrong-root", 2, 1, 2},
        {"", E, "file-empty", 0, 0, 2},
        // Errors with no cause elsewhere: the program's own position.
        {"<KeyDeputy><菜单>\n<>静音</>\n</菜单></KeyDeputy>", E, "load-error", 2, 3, 2},
        {"<KeyDeputy><菜单>\n<!-- 没有结束\n</菜单></KeyDeputy>", E, "load-error", 2, 5, 2},
    });
}

TEST(ConfigCheck, LoadReportIsTheProgramsText) {
    CheckReport* report = CheckXml("<KeyDeputy><菜单>\n<网站>a&b</网站>\n</菜单></KeyDeputy>");
    ASSERT_NE(report, nullptr);
    EXPECT_FALSE(report->loads);
    EXPECT_STREQ(report->loadReport, L"配置文件“KeyDeputy.xml”解析错误。\n错误: 未知字符集。\n在 2行 10列。\n");
    ReleaseCheckReport(report);

    report = CheckConfigFile(L"/nonexistent/KeyDeputy.xml", HostCheckPlatform);
    ASSERT_NE(report, nullptr);
    const Finding* missing = FindCode(*report, "file-missing");
    ASSERT_NE(missing, nullptr) << Codes(*report);
    EXPECT_EQ(missing->severity, Severity::Error);
    EXPECT_EQ(CheckExitCode(*report), 2);
    EXPECT_STREQ(report->loadReport, L"配置文件“/nonexistent/KeyDeputy.xml”解析错误。\n错误: 文件未找到。\n在 0行 0列。\n");
    ReleaseCheckReport(report);
}

// What the program's load report adds: the cause where it lies, not where the parse stopped.
TEST(ConfigCheck, LoadCauseForTheProgramsReport) {
    auto cause = [](CheckReport* report) {
        std::wstring text(2000, L'\0');
        text[0] = L'>';
        text[1] = 0;
        AppendLoadCause(*report, text.data(), text.size());
        ReleaseCheckReport(report);
        return std::wstring(text.c_str());
    };
    EXPECT_EQ(cause(CheckXml("<KeyDeputy><菜单>\n<网站>https://a.com/?a=1&b=2</网站>\n</菜单></KeyDeputy>")),
              L">原因：第 2 行第 23 列，这个“&”不是有效的字符引用的开头\n"
              L"改法：写成 &amp;；程序把错误报告在后面的标签处，真正的原因在这里\n");
    EXPECT_EQ(cause(CheckConfigFile(L"/nonexistent/KeyDeputy.xml", HostCheckPlatform)),
              L">原因：KeyDeputy 拒绝加载：错误: 文件未找到\n改法：配置文件要放在程序旁边，与程序同名（KeyDeputy.xml）\n");
    // An unclosed start tag is named at its own line, not at the end of the file.
    std::wstring unclosed = cause(CheckXml("<KeyDeputy><菜单>\n<记事本>notepad.exe\n<退出>退出程序</退出>\n</菜单></KeyDeputy>"));
    EXPECT_EQ(unclosed.rfind(L">原因：第 2 行第 1 列，<记事本> 没有对应的结束标签", 0), 0u);
    // A file that loads has no cause to add.
    EXPECT_EQ(cause(CheckXml("<KeyDeputy><菜单><退出>退出程序</退出></菜单></KeyDeputy>")), L">");
    // A cut text stays terminated within its room.
    CheckReport* report = CheckConfigFile(L"/nonexistent/KeyDeputy.xml", HostCheckPlatform);
    wchar_t small[8] = L"abc";
    AppendLoadCause(*report, small, 8);
    EXPECT_STREQ(small, L"abc原因：K");
    ReleaseCheckReport(report);
}

// The program explains a refused reload while it runs on its own list: checking a file,
// refused with a tree or loading, must leave that list and its settings as they are.
TEST(ConfigCheck, CheckingLeavesTheRunningCommandListAlone) {
    ASSERT_TRUE(InitCommandItems());
    ASSERT_TRUE(AppendCommandItem(CommandItems, L"running.exe", L"-a", L"C:\\work"));
    const CommandItem* records = CommandItems.items;
    uint32_t generation = CommandItemsGeneration;
    for (const char* xml : {"<KeyDeputy><菜单>\n<甲 参数=\"x\">a.exe</甲>\n<乙>b.exe\n</菜单></KeyDeputy>",
                            "<KeyDeputy><菜单><甲>a.exe</甲><乙>b.exe</乙></菜单></KeyDeputy>"}) {
        SCOPED_TRACE(xml);
        CheckReport* report = CheckXml(xml);
        ASSERT_NE(report, nullptr);
        EXPECT_GT(report->itemCount, 0);
        ReleaseCheckReport(report);
        EXPECT_EQ(CommandItems.items, records);
        EXPECT_EQ(CommandItemsGeneration, generation);
        ASSERT_EQ(CommandItems.count, 1);
        EXPECT_STREQ(CommandItems.items[0].command, L"running.exe");
        const wchar_t* parameters;
        const wchar_t* folder;
        FindShellSettings(CommandItems, 0, &parameters, &folder);
        EXPECT_STREQ(parameters, L"-a");
        EXPECT_STREQ(folder, L"C:\\work");
    }
    CommandItems.releaseMemory();
}

TEST(ConfigCheck, SectionsThatAreIgnoredOrMisread) {
    ExpectCases({
        {"<KeyDeputy>\n<menu><a>静音</a></menu>\n</KeyDeputy>", W, "unknown-section", 2, 1, 1},
        {"<KeyDeputy>\n<menu><a>静音</a></menu>\n</KeyDeputy>", W, "no-menu", 0, 0, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<设置 名称=\"x\"/></KeyDeputy>", W, "section-attribute", 2, 5, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<设置/>\n<设置><名称>b</名称></设置></KeyDeputy>", W,
         "duplicate-section", 3, 1, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<设置><单实例>yes</单实例></设置></KeyDeputy>", W,
         "yes-no-value", 2, 10, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><退出>x</退出></语言></KeyDeputy>", W,
         "unknown-message-key", 2, 5, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><热键注册>%s %d</热键注册></语言></KeyDeputy>", W,
         "hotkey-message-format", 2, 11, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><热键注册>%s 与 %s</热键注册></语言></KeyDeputy>", W,
         "hotkey-message-format", 2, 11, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><热键注册>失败</热键注册></语言></KeyDeputy>", N,
         "hotkey-message-no-slot", 2, 11, 0},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><覆盖文件>%s 与 %d</覆盖文件></语言></KeyDeputy>", W,
         "replace-message-format", 2, 11, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><命令失败>打不开</命令失败></语言></KeyDeputy>", N,
         "command-message-no-slot", 2, 11, 0},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<设置><名字>x</名字></设置></KeyDeputy>", W, "unknown-key", 2, 5,
         1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<设置><名称>1234567890123456789012345678901234567890"
         "123456789012345678901234</名称></设置></KeyDeputy>",
         N, "value-cut", 2, 9, 0},
        {"<KeyDeputy>\n<菜单/></KeyDeputy>", W, "empty-menu", 2, 1, 1},
    });
    // The two messages of the waiting reminders and the clipboard are known keys; the
    // first is a format like 热键注册.
    CheckReport* known = CheckXml("<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><退出提醒>还有 %s 个"
                                  "</退出提醒><剪贴板>好了</剪贴板></语言></KeyDeputy>");
    ASSERT_NE(known, nullptr);
    EXPECT_EQ(FindCode(*known, "unknown-message-key"), nullptr) << Codes(*known);
    ReleaseCheckReport(known);
    ExpectCases({
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><退出提醒>%s 与 %d</退出提醒></语言></KeyDeputy>", W,
         "exit-pending-message-format", 2, 11, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出></菜单>\n<语言><退出提醒>都丢了</退出提醒></语言></KeyDeputy>", N,
         "exit-pending-message-no-slot", 2, 11, 0},
    });
    // The English word a new user tries leads to the section's name.
    CheckReport* report = CheckXml("<KeyDeputy><Menu><退出>退出程序</退出></Menu></KeyDeputy>");
    const Finding* unknown = FindCode(*report, "unknown-section");
    ASSERT_NE(unknown, nullptr) << Codes(*report);
    EXPECT_NE(std::wstring(unknown->help).find(L"<菜单>"), std::wstring::npos);
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, HotkeysThatWillBeRefused) {
    ExpectCases({
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"Ctrl + Alt + F5\">静音</a></菜单></KeyDeputy>", W,
         "hotkey-spaces", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"+F5\">静音</a></菜单></KeyDeputy>", W, "hotkey-no-modifier",
         2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"Ctrl+Alt+Hme\">静音</a></菜单></KeyDeputy>", W,
         "hotkey-unknown-key", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"Ctrl++\">静音</a></菜单></KeyDeputy>", W, "hotkey-plus-key",
         2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"Ctrl+Alt+Shift+Win+Windows+Key+F5\">静音</a></菜单></KeyDeputy>",
         W, "hotkey-too-long", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"CtrlAltF5\">静音</a></菜单></KeyDeputy>", W,
         "hotkey-no-plus", 2, 4, 1},
        // The second of two equal combinations fails, whatever the letter case.
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"Ctrl+Alt+N\">静音</a>\n<b 快捷键=\"ctrl+alt+n\">静音</b>"
         "</菜单></KeyDeputy>",
         W, "hotkey-duplicate", 3, 4, 1},
        // F0 and F20 read, but as keys the text does not name (F20 is F10).
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"Ctrl+Alt+F0\">静音</a></菜单></KeyDeputy>", W,
         "hotkey-odd-key", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"Ctrl+Alt+F20\">静音</a></菜单></KeyDeputy>", W,
         "hotkey-odd-key", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键>静音</a></菜单></KeyDeputy>", W, "attribute-no-value", 2, 4,
         1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<工具 快捷键=\"Ctrl+Alt+T\"><a>静音</a></工具></菜单></KeyDeputy>", N,
         "hotkey-ignored", 2, 5, 0},
    });
    // The suggestion names a key the program reads.
    CheckReport* report = CheckXml("<KeyDeputy><菜单><退出>退出程序</退出><a 快捷键=\"Ctrl+Alt+PageDown\">静音</a>"
                                   "</菜单></KeyDeputy>");
    const Finding* unknown = FindCode(*report, "hotkey-unknown-key");
    ASSERT_NE(unknown, nullptr);
    EXPECT_NE(std::wstring(unknown->help).find(L"“PgDn”"), std::wstring::npos);
    EXPECT_FALSE(report->items[1].hotkeyUsable);
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, ItemsThatDoNotWorkAsWritten) {
    std::string longCommand(1024, 'x');
    // Label, tab and hotkey text make 256 units, one more than the menu shows.
    std::string longLabel(245, 'L');
    // Left out before another item: the items after it must not take its place.
    std::string tooLong = "<KeyDeputy><菜单>\n<a>" + longCommand + "</a><退出>退出程序</退出></菜单></KeyDeputy>";
    std::string cut = "<KeyDeputy><菜单><退出>退出程序</退出>\n<" + longLabel + " 快捷键=\"Ctrl+Alt+N\">静音</" +
                      longLabel + "></菜单></KeyDeputy>";
    ExpectCases({
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a>音量 +</a></菜单></KeyDeputy>", W, "near-action", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a>音量＋</a></菜单></KeyDeputy>", W, "near-action", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a>亮度十</a></菜单></KeyDeputy>", W, "near-action", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a>\"C:\\a b\"x</a></菜单></KeyDeputy>", W, "shell-quote", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a>\"C:\\a b x</a></菜单></KeyDeputy>", W, "shell-quote", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 参数=\"x\" 起始位子=\"C:\\\">a.exe</a></菜单></KeyDeputy>", W,
         "unknown-attribute", 2, 11, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a>分辨率（800，600）</a></菜单></KeyDeputy>", W, "resolution-refused",
         2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a>C:\\工具\\分辨率.exe</a></菜单></KeyDeputy>", W,
         "resolution-refused", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<打开 记事本>notepad.exe</打开></菜单></KeyDeputy>", W, "label-space",
         2, 5, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷建=\"Ctrl+Alt+N\">静音</a></菜单></KeyDeputy>", W,
         "unknown-attribute", 2, 4, 1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<隐藏>隐藏图标</隐藏></菜单></KeyDeputy>", W, "hide-icon-no-way-back",
         2, 1, 1},
        {"<KeyDeputy><菜单>\n<静音>静音</静音></菜单></KeyDeputy>", N, "no-exit", 1, 12, 0},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 快捷键=\"Ctrl+Alt+A\"/></菜单></KeyDeputy>", W, "no-command", 2, 1,
         1},
        {"<KeyDeputy><菜单><退出>退出程序</退出>\n<a 可选=\"no\">静音</a></菜单></KeyDeputy>", W, "yes-no-value", 2, 4,
         1},
        {tooLong.c_str(), W, "command-too-long", 2, 1, 1},
        {cut.c_str(), W, "label-cut", 2, 1, 1},
    });
    // One unit shorter fits; an icon that a usable hotkey brings back is fine.
    std::string fits = "<KeyDeputy><菜单><退出>退出程序</退出><" + longLabel.substr(1) +
                       " 快捷键=\"Ctrl+Alt+N\">静音</" + longLabel.substr(1) + "></菜单></KeyDeputy>";
    CheckReport* fitting = CheckXml(fits.c_str());
    EXPECT_EQ(fitting->findingCount, 0) << Codes(*fitting);
    ReleaseCheckReport(fitting);
    CheckReport* report = CheckXml("<KeyDeputy><菜单><退出>退出程序</退出><隐藏 快捷键=\"Ctrl+Alt+H\">隐藏图标</隐藏>"
                                   "</菜单></KeyDeputy>");
    EXPECT_EQ(report->findingCount, 0) << Codes(*report);
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, ProbesOfTheRunningSystem) {
    CheckPlatform probing = HostCheckPlatform;
    probing.hotkeyTaken = [](uint32_t modifiers, uint32_t key) { return modifiers == 3 && key == 'J'; };
    probing.pathMissing = [](const wchar_t*) { return true; };
    const char xml[] = "<KeyDeputy><菜单><退出>退出程序</退出>\n"
                       "<a 快捷键=\"Ctrl+Alt+J\">静音</a><b 快捷键=\"Ctrl+Alt+K\">静音</b>\n"
                       "<c>C:\\kd\\gone.bat</c><d>notepad.exe</d><e>https://example.com/</e><f>%WINDIR%\\x.exe</f>"
                       "<g>\\\\server\\share\\x.bat</g>\n</菜单></KeyDeputy>";
    CheckReport* report = CheckConfigBytes(L"KeyDeputy.xml", XML_OK, reinterpret_cast<const unsigned char*>(xml),
                                           sizeof xml - 1, true, probing);
    const Finding* taken = FindCode(*report, "hotkey-taken");
    ASSERT_NE(taken, nullptr) << Codes(*report);
    EXPECT_EQ(taken->line, 2);
    EXPECT_EQ(taken->column, 4);
    EXPECT_FALSE(report->items[1].hotkeyUsable);
    EXPECT_TRUE(report->items[2].hotkeyUsable);
    // The same hold while a KeyDeputy of this file's caption runs is most likely its own.
    EXPECT_EQ(FindCode(*report, "hotkey-held-by-instance"), nullptr);
    CheckPlatform running = probing;
    running.instanceRunning = [](const wchar_t* caption) { return std::wstring(caption) == L"KeyDeputy v2.0"; };
    CheckReport* own = CheckConfigBytes(L"KeyDeputy.xml", XML_OK, reinterpret_cast<const unsigned char*>(xml),
                                        sizeof xml - 1, true, running);
    const Finding* note = FindCode(*own, "hotkey-held-by-instance");
    ASSERT_NE(note, nullptr) << Codes(*own);
    EXPECT_EQ(note->severity, Severity::Note);
    EXPECT_EQ(note->line, 2);
    EXPECT_EQ(FindCode(*own, "hotkey-taken"), nullptr);
    ReleaseCheckReport(own);
    // Only plain paths are asked about: a program name, an address or a variable is the shell's to resolve.
    int32_t missing = 0;
    for (int32_t i = 0; i < report->findingCount; ++i)
        if (strcmp(report->findings[i].code, "shell-missing") == 0) {
            ++missing;
            EXPECT_EQ(report->findings[i].line, 3);
        }
    EXPECT_EQ(missing, 2) << Codes(*report);
    EXPECT_EQ(CheckExitCode(*report), 1);
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, ShellCommandsAsTheProgramWillRunThem) {
    static const ShellLookups system = {
        nullptr,
        [](void*, const wchar_t* path) {
            std::wstring p = path;
            if (p == L"C:\\kd\\tools\\x.exe" || p == L"C:\\Windows\\notepad.exe") return PathKind::File;
            return p == L"C:\\kd\\w" || p == L"C:\\kd" ? PathKind::Folder : PathKind::None;
        },
        [](void*, const wchar_t* name, wchar_t* out, size_t capacity) {
            return std::wstring(name) == L"notepad.exe" && CopyTextCut(out, capacity, L"C:\\Windows\\notepad.exe");
        },
        [](void*, const wchar_t*, wchar_t*, size_t) { return false; }};
    CheckPlatform probing = HostCheckPlatform;
    probing.shellLookups = &system;
    probing.pathMissing = [](const wchar_t*) { return true; };
    const char xml[] = "<KeyDeputy><菜单><退出>退出程序</退出>\n"
                       "<a>notepad.exe C:\\t.txt</a><b 起始位置=\"w\">tools\\x.exe</b><c>notepad.exe</c>\n"
                       "<d>gone.exe --x</d>\n<e 起始位置=\"nowhere\">notepad.exe</e>\n"
                       "<f>%NOPE%\\x.exe</f><g>tools\\gone.bat</g></菜单></KeyDeputy>";
    CheckReport* report = CheckConfigBytes(L"C:\\kd\\KeyDeputy.xml", XML_OK,
                                           reinterpret_cast<const unsigned char*>(xml), sizeof xml - 1, true, probing);
    ASSERT_EQ(report->itemCount, 8);
    EXPECT_STREQ(report->items[1].run, L"整段找不到，按程序加参数运行：程序 C:\\Windows\\notepad.exe；参数 C:\\t.txt；起始位置 C:\\kd");
    EXPECT_STREQ(report->items[2].run, L"整段交给系统打开：C:\\kd\\tools\\x.exe；起始位置 C:\\kd\\w");
    EXPECT_STREQ(report->items[3].run, L"整段交给系统打开：notepad.exe；起始位置 C:\\kd");
    // What will fail is told where it is written, and nothing else: an unexpanded
    // variable may be set when the program runs.
    std::string where;
    for (int32_t i = 0; i < report->findingCount; ++i)
        where += std::string(report->findings[i].code) + "@" + std::to_string(report->findings[i].line) + " ";
    EXPECT_EQ(where, "shell-no-program@3 folder-missing@4 shell-missing@5 ");
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, TextReportShowsTheLineAndACaretUnderTheColumn) {
    CheckReport* report = CheckXml("<KeyDeputy><菜单><退出>退出程序</退出>\n\t<静音 快捷键=\"F5\">静音</静音></菜单></KeyDeputy>");
    OutText out;
    FormatTextReport(*report, L"KeyDeputy.xml", &out);
    std::wstring text(out.items, out.count);
    // A tab stays a tab; each Chinese character takes two columns.
    EXPECT_NE(text.find(L"\nKeyDeputy.xml:2:6: 警告: 快捷键“F5”里没有“+”，读不出按键\n"
                        L"    \t<静音 快捷键=\"F5\">静音</静音></菜单></KeyDeputy>\n"
                        L"    \t      ^\n"
                        L"  帮助: 写成 修饰键+按键，例如 Ctrl+Alt+N\n"),
              std::wstring::npos)
        << Utf8FromUnits(out.items, out.count);
    EXPECT_NE(text.find(L"  1025  静音  →  静音（动作）  F5（不可用）\n"), std::wstring::npos);
    out.releaseMemory();
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, ItemTableAndJson) {
    CheckReport* report = CheckXml("<KeyDeputy><菜单><工具><分割条/><截图 快捷键=\"Ctrl+Alt+S\">屏幕截图</截图></工具>"
                                   "<网站>https://example.com/?a=1&amp;b=\"2\"</网站><退出>退出程序</退出></菜单>"
                                   "</KeyDeputy>");
    ASSERT_EQ(report->itemCount, 3);
    OutText out;
    FormatJsonReport(*report, L"C:\\kd\\KeyDeputy.xml", &out);
    std::wstring json(out.items, out.count);
    EXPECT_EQ(json.find(L"{\"file\":\"C:\\\\kd\\\\KeyDeputy.xml\",\"encoding\":\"UTF-8\",\"loads\":true,"
                        L"\"loadReport\":null,\"findings\":[],\"findingsLeftOut\":0,\"items\":[{\"id\":1024,\"path\":[\"工具\"],"
                        L"\"label\":\"截图\",\"command\":\"屏幕截图\",\"kind\":\"action\",\"run\":null,\"hotkey\":\"Ctrl+Alt+S\","
                        L"\"hotkeyUsable\":true},{\"id\":1025,\"path\":[],\"label\":\"网站\","
                        L"\"command\":\"https://example.com/?a=1&b=\\\"2\\\"\",\"kind\":\"shell\","
                        L"\"run\":\"交给系统打开：https://example.com/?a=1&b=\\\"2\\\"\",\"hotkey\":null,"
                        L"\"hotkeyUsable\":false},"),
              0u)
        << Utf8FromUnits(out.items, out.count);
    const std::wstring end = L"],\"itemsLeftOut\":0}\n";
    EXPECT_EQ(json.substr(json.size() - end.size()), end);
    out.releaseMemory();
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, LongLinesAndManyFindingsStayWithinTheirLimits) {
    // 450 items with one hotkey, all on one line: 449 duplicates, 50 items past the table.
    std::string xml = "<KeyDeputy><菜单><退出>退出程序</退出>";
    for (int i = 0; i < 449; ++i) xml += "<a" + std::to_string(i) + " 快捷键=\"Ctrl+Alt+A\">x</a" + std::to_string(i) + ">";
    xml += "</菜单></KeyDeputy>";
    CheckReport* report = CheckXml(xml.c_str());
    ASSERT_EQ(report->findingCount, MAX_FINDINGS);
    ASSERT_GT(report->findingsLeftOut, 0);
    EXPECT_EQ(report->itemsLeftOut, 50);
    // The last finding kept still has its exact position.
    const Finding& last = report->findings[MAX_FINDINGS - 1];
    size_t offset = xml.find("快捷键", xml.find("<a" + std::to_string(MAX_FINDINGS) + " "));
    std::wstring before = UnitsFromUtf8(xml.substr(0, offset).c_str());
    EXPECT_EQ(last.line, 1);
    EXPECT_EQ(last.column, int32_t(before.size()) + 1);

    OutText out;
    FormatJsonReport(*report, L"KeyDeputy.xml", &out);
    std::wstring json(out.items, out.count);
    EXPECT_NE(json.find(L"],\"findingsLeftOut\":" + std::to_wstring(report->findingsLeftOut) + L",\"items\":["),
              std::wstring::npos);
    EXPECT_NE(json.find(L"],\"itemsLeftOut\":50}\n"), std::wstring::npos);
    out.releaseMemory();

    // Each finding shows a window of the line around its cause, not the whole line.
    out = {nullptr, 0, 0, false};
    FormatTextReport(*report, L"KeyDeputy.xml", &out);
    std::wstring text(out.items, out.count);
    size_t excerpts = 0;
    for (size_t at = 0; (at = text.find(L"\n    …", at)) != std::wstring::npos; ++at) {
        size_t end = text.find(L'\n', at + 1);
        std::wstring line = text.substr(at + 5, end - at - 5);
        EXPECT_LE(line.size(), EXCERPT_UNITS + 2);
        EXPECT_NE(line.find(L"快捷键=\"Ctrl+Alt+A\""), std::wstring::npos) << Utf8FromUnits(line.data(), line.size());
        ++excerpts;
    }
    EXPECT_EQ(excerpts, size_t(MAX_FINDINGS - 1)) << "the first duplicates sit near the start of the line";
    EXPECT_LT(out.count, size_t(MAX_FINDINGS) * 600);
    out.releaseMemory();
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, ExcerptKeepsTheCauseAndWholeCharacters) {
    std::wstring line(300, L'x');
    line[150] = L'!';
    line[89] = 0xD83D;  // a pair whose halves straddle the left edge
    line[90] = 0xDE00;
    ExcerptBounds b = ExcerptAround(line.c_str(), 0, line.size(), 150);
    EXPECT_EQ(b.start, 91u);
    EXPECT_EQ(b.end, 210u);
    b = ExcerptAround(line.c_str(), 0, line.size(), 5);
    EXPECT_EQ(b.start, 0u);
    EXPECT_EQ(b.end, EXCERPT_UNITS);
    b = ExcerptAround(line.c_str(), 0, line.size(), 300);  // the cause at the line's end
    EXPECT_EQ(b.start, 300 - EXCERPT_UNITS);
    EXPECT_EQ(b.end, 300u);
    b = ExcerptAround(line.c_str(), 10, 100, 50);  // short: the whole line
    EXPECT_EQ(b.start, 10u);
    EXPECT_EQ(b.end, 100u);
}

TEST(ConfigCheck, EncodingsAsTheProgramDecides) {
    // Code page 936 bytes of <KeyDeputy><菜单><静音>静音</静音></菜单></KeyDeputy>.
    const char gbk[] = "<KeyDeputy><\xB2\xCB\xB5\xA5><\xBE\xB2\xD2\xF4>\xBE\xB2\xD2\xF4</\xBE\xB2\xD2\xF4>"
                       "</\xB2\xCB\xB5\xA5></KeyDeputy>";
    CheckReport* report = CheckBytes(gbk, sizeof gbk - 1);
    EXPECT_EQ(report->encoding, CheckEncoding::Ansi);
    ASSERT_EQ(report->itemCount, 1);
    EXPECT_STREQ(report->items[0].command, L"静音");
    ReleaseCheckReport(report);

    // UTF-16 without a byte-order mark.
    std::string utf16;
    for (char c : std::string("<KeyDeputy><menu/></KeyDeputy>")) utf16 += std::string(1, c) + '\0';
    report = CheckBytes(utf16.data(), utf16.size());
    EXPECT_EQ(report->encoding, CheckEncoding::Utf16);
    EXPECT_NE(FindCode(*report, "unknown-section"), nullptr) << Codes(*report);
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, SampleConfigurationChecksClean) {
    CheckReport* report = CheckConfigFile(L"" KD_SAMPLE_CONFIG_FILE, HostCheckPlatform);
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->loads);
    EXPECT_EQ(report->findingCount, 0) << Codes(*report);
    EXPECT_EQ(CheckExitCode(*report), 0);
    EXPECT_GT(report->itemCount, 20);
    for (int32_t i = 0; i < report->itemCount; ++i)
        EXPECT_EQ(report->items[i].hotkeyUsable, report->items[i].hotkey != nullptr) << i;
    ReleaseCheckReport(report);
}

TEST(ConfigCheck, BadUsageExitsWithThree) {
    static std::wstring written;
    CheckWrite write = [](const wchar_t* text, size_t length, bool) { written.append(text, length); };
    const wchar_t* unknown[] = {L"--verbose"};
    EXPECT_EQ(RunChecker(1, unknown, L"KeyDeputy.xml", HostCheckPlatform, write), CHECK_EXIT_USAGE);
    const wchar_t* twoFiles[] = {L"a.xml", L"b.xml"};
    EXPECT_EQ(RunChecker(2, twoFiles, L"KeyDeputy.xml", HostCheckPlatform, write), CHECK_EXIT_USAGE);
    const wchar_t* missing[] = {L"--json", L"/nonexistent.xml"};
    written.clear();
    EXPECT_EQ(RunChecker(2, missing, L"KeyDeputy.xml", HostCheckPlatform, write), 2);
    EXPECT_EQ(written.find(L"{\"file\":\"/nonexistent.xml\",\"encoding\":null,\"loads\":false,"), 0u);
}

TEST(ConfigCheck, SuggestionsAreOneOrTwoEditsAway) {
    EXPECT_EQ(EditDistance(L"Hme", L"Home"), 1u);
    EXPECT_EQ(EditDistance(L"HOME", L"home"), 0u);  // ASCII case is no edit
    EXPECT_EQ(EditDistance(L"莱单", L"菜单"), 1u);
    EXPECT_EQ(EditDistance(L"", L"Tab"), 3u);
    EXPECT_GT(EditDistance(std::wstring(64, L'a').c_str(), L"a"), 100u);
    const wchar_t* const names[] = {L"设置", L"菜单", L"提示", L"语言"};
    EXPECT_STREQ(NearestName(L"莱单", names, 4, 1), L"菜单");
    EXPECT_EQ(NearestName(L"工具", names, 4, 1), nullptr);
}

TEST(ConfigCheck, HostReadsBytesAsWindowsWould) {
    // UTF-16 by its mark, or by zero high bytes; 8-bit text has none.
    EXPECT_TRUE(HostLooksUtf16(reinterpret_cast<const unsigned char*>("\xFF\xFEx"), 3));
    EXPECT_TRUE(HostLooksUtf16(reinterpret_cast<const unsigned char*>("<\0a\0>\0"), 6));
    EXPECT_FALSE(HostLooksUtf16(reinterpret_cast<const unsigned char*>("<a>b</a>"), 8));
    EXPECT_FALSE(HostLooksUtf16(reinterpret_cast<const unsigned char*>("<\0a\0>"), 5));
    // A byte that starts no UTF-8 sequence becomes U+FFFD, the rest is read on.
    wchar_t* text = HostCheckPlatform.decode(reinterpret_cast<const unsigned char*>("a\xFF\xE8\x8F\x9C"), 5, true);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"a\xFFFD菜");
    free(text);
    EXPECT_EQ(Utf8FromUnits(L"\xD83D\xDE00\xD800", 3), "\xF0\x9F\x98\x80\xEF\xBF\xBD");
}
