#include "bench/configDocument.h"

#include <cstdint>

namespace {

// Fixed-seed generator: the documents must not change between runs or machines.
struct Random {
    uint32_t state = 0x4B44u;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    uint32_t Below(uint32_t n) { return Next() % n; }
};

const wchar_t* const MENU_NAMES[] = {L"工具", L"声音", L"亮度", L"常用程序", L"文档", L"网站", L"系统", L"收藏夹"};
const wchar_t* const ITEM_NAMES[] = {L"记事本", L"计算器", L"画图", L"命令提示符", L"资源管理器", L"任务管理器",
                                     L"控制面板", L"浏览器"};
const wchar_t* const ACTIONS[] = {L"音量+", L"音量-", L"静音", L"亮度+", L"亮度-", L"默认亮度", L"屏幕截图",
                                  L"定时提醒", L"重建图标", L"屏幕保护"};
const wchar_t* const KEYS[] = {L"A", L"N", L"F5", L"F12", L"PgUp", L"PgDn", L"Home", L"End", L"Space", L"1"};
const wchar_t* const MODIFIERS[] = {L"Ctrl+Alt+", L"Ctrl+Shift+", L"Alt+Shift+", L"Ctrl+Alt+Shift+", L"Win+"};

void Indent(std::wstring& out, int depth) { out.append(size_t(depth) * 2 + 4, L' '); }

void AppendNumber(std::wstring& out, uint32_t n) { out += std::to_wstring(n); }

// One command entry; its kind varies so that every part of the syntax shows up.
void AppendItem(std::wstring& out, Random& random, int depth, uint32_t serial) {
    Indent(out, depth);
    const wchar_t* name = ITEM_NAMES[random.Below(8)];
    out += L'<';
    out += name;
    AppendNumber(out, serial);
    uint32_t kind = random.Below(10);
    if (random.Below(3) == 0) {
        out += L" 快捷键=\"";
        out += MODIFIERS[random.Below(5)];
        out += KEYS[random.Below(10)];
        out += L'"';
    }
    if (random.Below(6) == 0) out += L" 可选=\"否\"";
    if (random.Below(6) == 0) out += L" 选中='是'";
    out += L'>';
    switch (kind) {
    case 0:
    case 1:
    case 2:
        out += ACTIONS[random.Below(10)];
        break;
    case 3:
        out += L"分辨率(";
        AppendNumber(out, 800 + random.Below(8) * 160);
        out += L',';
        AppendNumber(out, 600 + random.Below(6) * 120);
        out += L')';
        break;
    case 4:
        out += L"https://www.example.com/search?q=键盘&amp;page=";
        AppendNumber(out, serial);
        break;
    case 5:
        out += L"<![CDATA[cmd.exe /c echo <";
        AppendNumber(out, serial);
        out += L"> & pause]]>";
        break;
    case 6:
        out += L"&quot;C:\\Program Files\\工具箱\\程序";
        AppendNumber(out, serial);
        out += L".exe&quot; --名称=&#20013;&#x6587; &lt;参数&gt;";
        break;
    default:
        out += L"C:\\文档\\笔记";
        AppendNumber(out, serial);
        out += L".txt";
        break;
    }
    out += L"</";
    out += name;
    AppendNumber(out, serial);
    out += L">\n";
}

// A submenu of a few entries, separators and nested submenus, at most three deep.
void AppendSubmenu(std::wstring& out, Random& random, int depth, uint32_t& serial) {
    const wchar_t* name = MENU_NAMES[random.Below(8)];
    uint32_t own = serial++;
    Indent(out, depth);
    out += L"<!-- ";
    out += name;
    out += L"：第 ";
    AppendNumber(out, own);
    out += L" 组 -->\n";
    Indent(out, depth);
    out += L'<';
    out += name;
    AppendNumber(out, own);
    out += L">\n";
    uint32_t entries = 3 + random.Below(6);
    for (uint32_t i = 0; i < entries; ++i) {
        uint32_t pick = random.Below(8);
        if (pick == 0) {
            Indent(out, depth + 1);
            out += L"<分割条/>\n";
        } else if (pick == 1 && depth < 3) {
            AppendSubmenu(out, random, depth + 1, serial);
        } else {
            AppendItem(out, random, depth + 1, serial++);
        }
    }
    Indent(out, depth);
    out += L"</";
    out += name;
    AppendNumber(out, own);
    out += L">\n";
}

}  // namespace

std::wstring MakeConfigDocument(size_t units) {
    std::wstring out;
    out.reserve(units + 4096);
    out += L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n";
    out += L"<!--\n  KeyDeputy 基准测试配置：由程序生成，内容固定。\n-->\n";
    out += L"<KeyDeputy>\n";
    out += L"    <设置>\n        <名称>KeyDeputy 基准</名称>\n        <单实例>是</单实例>\n";
    out += L"        <自启动>否</自启动>\n    </设置>\n";
    out += L"    <提示>\n        <显示>是</显示>\n";
    out += L"        <内容>KeyDeputy 已启动。单击托盘图标打开菜单，快捷键随时可用。</内容>\n";
    out += L"        <标题>KeyDeputy</标题>\n    </提示>\n";
    const std::wstring tail =
        L"    </菜单>\n    <语言>\n        <热键注册>%s\t热键注册失败！</热键注册>\n"
        L"        <退出程序>你确认立即退出程序？</退出程序>\n"
        L"        <分辨率>分辨率设置失败，已经恢复到默认状态！</分辨率>\n    </语言>\n</KeyDeputy>\n";
    out += L"    <菜单>\n";
    Random random;
    uint32_t serial = 1;
    // Whole submenus only, as many as fit; at least one.
    for (bool first = true;; first = false) {
        std::wstring group;
        AppendSubmenu(group, random, 0, serial);
        if (!first && out.size() + group.size() + tail.size() > units) break;
        out += group;
    }
    out += tail;
    return out;
}

std::string ToUtf8(const std::wstring& utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (size_t i = 0; i < utf16.size(); ++i) {
        uint32_t c = uint32_t(utf16[i]) & 0xFFFFu;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size()) {
            uint32_t low = uint32_t(utf16[i + 1]) & 0xFFFFu;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}
