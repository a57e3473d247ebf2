// A command for the shell as the program will run it: expanded, relative paths from
// the program's folder, and a line the shell cannot open whole read as program and
// arguments, with the same functions the program calls.
#include "app/messages.h"
#include "check/checkContext.h"
#include "lib/textCopy.h"
#include "menu/shellCommand.h"

namespace {

// Without the running system nothing is found: what is left is what the text itself says.
PathKind NothingThere(void*, const wchar_t*) { return PathKind::None; }
bool NothingFound(void*, const wchar_t*, wchar_t*, size_t) { return false; }
const ShellLookups NO_LOOKUPS = {nullptr, NothingThere, NothingFound, NothingFound};

// A path of the file system: a drive, a share, or relative with a folder in it.
bool IsFilePath(const wchar_t* text) {
    bool drive = ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z')) && text[1] == L':' &&
                 (text[2] == L'\\' || text[2] == L'/');
    bool share = text[0] == L'\\' && text[1] == L'\\';
    return drive || share || (IsRelativePath(text) && PathFolderLength(text) > 0);
}

// Whether the whole text opens, as far as the lookups can tell.
bool WholeFound(const ShellCommand& whole, const ShellLookups& lookups) {
    if (lookups.pathKind(lookups.context, whole.file) != PathKind::None) return true;
    wchar_t found[SHELL_TEXT_SIZE];
    return IsRelativePath(whole.file) && PathFolderLength(whole.file) == 0 &&
           lookups.searchProgram(lookups.context, whole.file, found, SHELL_TEXT_SIZE);
}

// A file path that is not there; a variable left unexpanded may still be set when the program runs.
bool MissingPath(const CheckContext& c, const wchar_t* folder, const wchar_t* path) {
    if (!c.platform->pathMissing || !IsFilePath(path) || TextContains(path, L"%")) return false;
    wchar_t joined[SHELL_TEXT_SIZE];
    return JoinPath(folder, path, joined, SHELL_TEXT_SIZE) && c.platform->pathMissing(joined);
}

void Describe(ItemRow* row, const wchar_t* lead, const ShellCommand& command) {
    CopyTextCut(row->run, ITEM_TEXT_SIZE, lead);
    AppendTextCut(row->run, ITEM_TEXT_SIZE, command.file);
    if (command.parameters[0]) {
        AppendTextCut(row->run, ITEM_TEXT_SIZE, L"；参数 ");
        AppendTextCut(row->run, ITEM_TEXT_SIZE, command.parameters);
    }
    if (!command.folder[0]) return;  // a configuration given without its folder
    AppendTextCut(row->run, ITEM_TEXT_SIZE, L"；起始位置 ");
    AppendTextCut(row->run, ITEM_TEXT_SIZE, command.folder);
}

}  // namespace

void CheckShellCommand(CheckContext& c, const XmlElement& element, const wchar_t* command, ItemRow* row) {
    const ShellLookups* probed = c.platform->shellLookups;
    const ShellLookups& lookups = probed ? *probed : NO_LOOKUPS;
    const wchar_t* folder = c.folder ? c.folder : L"";
    CheckPosition position = At(c, ContentOffset(c, element));
    ShellCommand whole;
    if (!PrepareWholeCommand(command, element.attributeValue(KD_ATTR_PARAMETERS, nullptr),
                             element.attributeValue(KD_ATTR_FOLDER, nullptr), folder, lookups, &whole)) {
        wchar_t most[12];
        FormatNumber(most, int64_t(SHELL_TEXT_SIZE - 1));
        Add(c, Severity::Warning, "shell-too-long", position,
            {L"命令、参数或起始位置展开环境变量后超过 ", most, L" 个字符，程序不运行它，只提示失败"}, {L"缩短它们"});
        return;
    }
    if (probed && element.attributeValue(KD_ATTR_FOLDER, nullptr) &&
        lookups.pathKind(lookups.context, whole.folder) != PathKind::Folder)
        Add(c, Severity::Warning, "folder-missing", At(c, AttributeOffset(c, element, KD_ATTR_FOLDER)),
            {L"起始位置“", whole.folder, L"”不是一个存在的文件夹，程序会打开失败"}, {L"检查路径是否写对"});

    bool splits = CouldSplit(whole.file);
    ShellCommand split;
    if (probed && WholeFound(whole, lookups)) {
        Describe(row, L"整段交给系统打开：", whole);
    } else if (splits && SplitCommand(whole, folder, lookups, &split)) {
        Describe(row, probed ? L"整段找不到，按程序加参数运行：程序 " : L"整段先交给系统；找不到时：程序 ", split);
    } else if (splits && whole.file[0] == L'"') {
        Add(c, Severity::Warning, "shell-quote", position,
            {L"命令以引号开头，但引号没有配对，或右引号后面紧跟着别的字符：读不出程序"},
            {L"写成 \"程序路径\" 参数，右引号后空一格"});
    } else if (splits && probed) {
        Add(c, Severity::Warning, "shell-no-program", position,
            {L"“", whole.file, L"”整段不存在，它开头的任何部分也不是能找到的程序：选它只会提示失败"},
            {L"检查程序路径；路径里有空格时，把程序路径放在双引号里"});
    } else if (splits) {
        Describe(row, L"整段先交给系统；找不到时，开头能找到的最长部分是程序，其余是参数：", whole);
    } else if (MissingPath(c, folder, whole.file)) {
        Add(c, Severity::Warning, "shell-missing", position, {L"“", whole.file, L"”不存在，选它只会提示失败"},
            {IsRelativePath(command) ? L"相对路径从 KeyDeputy.exe 所在的文件夹算起；检查路径是否写对"
                                     : L"检查路径是否写对，或那个文件是否已被移动"});
    } else {
        Describe(row, L"交给系统打开：", whole);
    }
}
