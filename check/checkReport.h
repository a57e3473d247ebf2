// What the configuration checker found: findings at their positions and the menu items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "check/lineIndex.h"
#include "lib/xmlReader.h"

enum class Severity : int32_t { Note, Warning, Error };

constexpr size_t FINDING_TEXT_SIZE = 400;
constexpr int32_t MAX_FINDINGS = 200;
constexpr int32_t MAX_ITEMS = 400;
constexpr size_t ITEM_TEXT_SIZE = 256;
constexpr int32_t MAX_PATH_NAMES = 32;
constexpr size_t LOAD_REPORT_SIZE = 1024;

struct Finding {
    Severity severity;
    int32_t line;    // 0 when the finding concerns the whole file
    int32_t column;
    const char* code;  // stable identifier, ASCII
    wchar_t message[FINDING_TEXT_SIZE];
    wchar_t help[FINDING_TEXT_SIZE];
};

enum class ItemKind : int32_t { Action, Resolution, Shell };

struct ItemRow {
    int32_t id;
    const wchar_t* path[MAX_PATH_NAMES];  // submenu names from the outermost, into the tree
    int32_t pathCount;
    wchar_t label[ITEM_TEXT_SIZE];  // the element name, as the menu shows it before the tab
    const wchar_t* command;         // into the tree, or the 未定义 literal
    ItemKind kind;
    wchar_t run[ITEM_TEXT_SIZE];  // how a shell command is run, cut to fit; empty for the others
    const wchar_t* hotkey;  // into the tree, null without 快捷键
    bool hotkeyUsable;
};

// Which encoding the file is read in, as the program decides it.
enum class CheckEncoding : int32_t { Unread, Utf16, Utf16Bom, Utf8, Utf8Bom, Ansi };

struct CheckReport {
    CheckEncoding encoding;
    uint32_t ansiCodePage;
    bool loads;  // the program would accept the file
    wchar_t loadReport[LOAD_REPORT_SIZE];  // empty when it loads
    int32_t findingCount;
    int32_t findingsLeftOut;
    Finding findings[MAX_FINDINGS];
    int32_t itemCount;
    int32_t itemsLeftOut;
    ItemRow items[MAX_ITEMS];
    // The text the positions refer to (owned), for showing source lines.
    wchar_t* text;
    LineIndex lines;  // of text (owned): built once, for the check's positions and the report's lines
    XmlElement root;  // keeps the item texts alive
};

// Exit code of the checker for a finished report: 0 nothing above a note,
// 1 warnings only, 2 an error.
int32_t CheckExitCode(const CheckReport& report);

struct CheckPosition {
    int32_t line;  // 0: the whole file
    int32_t column;
};

// Appends a finding; message and help are joined from their pieces (null pieces
// are skipped), cut to fit.
// Past MAX_FINDINGS only the count of those left out grows.
void AddFinding(CheckReport* report, Severity severity, const char* code, CheckPosition position,
                std::initializer_list<const wchar_t*> message, std::initializer_list<const wchar_t*> help);
