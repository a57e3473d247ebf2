#include "menu/shellCommand.h"

#include "lib/textCopy.h"

namespace {

bool IsBlank(wchar_t ch) { return ch == L' ' || ch == L'\t'; }
bool IsSeparator(wchar_t ch) { return ch == L'\\' || ch == L'/'; }
bool IsAsciiLetter(wchar_t ch) { return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z'); }

// Copies count units of source as a terminated text; false when they do not fit.
bool CopyPart(wchar_t* out, size_t capacity, const wchar_t* source, size_t count) {
    if (count >= capacity) return false;
    for (size_t i = 0; i < count; ++i) out[i] = source[i];
    out[count] = 0;
    return true;
}

// A text with its surrounding double quotes taken off, as a folder may be written.
void Unquote(wchar_t* text) {
    size_t length = TextLength(text);
    if (length < 2 || text[0] != L'"' || text[length - 1] != L'"') return;
    for (size_t i = 1; i + 1 < length; ++i) text[i - 1] = text[i];
    text[length - 2] = 0;
}

// The program a candidate names, as a full path into out: an existing file (a relative
// one under baseFolder), or a bare name found there or on the search path.
bool FindProgram(const wchar_t* candidate, const wchar_t* baseFolder, const ShellLookups& lookups, wchar_t* out,
                 size_t capacity) {
    if (!*candidate || TextContains(candidate, L"\"")) return false;
    if (!JoinPath(baseFolder, candidate, out, capacity)) return false;
    if (lookups.pathKind(lookups.context, out) == PathKind::File) return true;
    if (!IsRelativePath(candidate) || PathFolderLength(candidate) > 0) return false;
    return lookups.searchProgram(lookups.context, candidate, out, capacity);
}

// Arguments, then the item's own parameters after a blank.
bool JoinParameters(const wchar_t* arguments, const wchar_t* parameters, wchar_t* out, size_t capacity) {
    if (!CopyTextCut(out, capacity, arguments)) return false;
    if (!*parameters) return true;
    if (*out && !AppendTextCut(out, capacity, L" ")) return false;
    return AppendTextCut(out, capacity, parameters);
}

}  // namespace

bool ExpandVariables(const wchar_t* text, const ShellLookups& lookups, wchar_t* out, size_t capacity) {
    if (capacity == 0) return false;
    size_t n = 0;
    wchar_t name[256];
    wchar_t value[SHELL_TEXT_SIZE];
    const wchar_t* p = text;
    while (*p) {
        if (*p == L'%') {
            const wchar_t* end = p + 1;
            while (*end && *end != L'%') ++end;
            size_t nameLength = size_t(end - p - 1);
            if (*end == L'%' && nameLength > 0 && CopyPart(name, sizeof name / sizeof *name, p + 1, nameLength) &&
                lookups.variable(lookups.context, name, value, SHELL_TEXT_SIZE)) {
                for (const wchar_t* v = value; *v; ++v) {
                    if (n + 1 >= capacity) return false;
                    out[n++] = *v;
                }
                p = end + 1;
                continue;
            }
            // Not a set variable: the % stays, and the text after it is read again,
            // so its closing % may open the next name.
        }
        if (n + 1 >= capacity) return false;
        out[n++] = *p++;
    }
    out[n] = 0;
    return true;
}

bool IsRelativePath(const wchar_t* path) {
    if (!*path || IsSeparator(path[0])) return false;  // root of the drive, or a share
    // A drive (C:) or a scheme (http:, shell:): letters, digits, + - . before a colon.
    if (IsAsciiLetter(path[0])) {
        const wchar_t* p = path + 1;
        while (IsAsciiLetter(*p) || (*p >= L'0' && *p <= L'9') || *p == L'+' || *p == L'-' || *p == L'.') ++p;
        if (*p == L':') return false;
    }
    return true;
}

bool JoinPath(const wchar_t* folder, const wchar_t* path, wchar_t* out, size_t capacity) {
    if (!IsRelativePath(path) || !*folder) return CopyTextCut(out, capacity, path);
    if (!CopyTextCut(out, capacity, folder)) return false;
    size_t length = TextLength(out);
    if (!IsSeparator(out[length - 1]) && !AppendTextCut(out, capacity, L"\\")) return false;
    return AppendTextCut(out, capacity, path);
}

bool PrepareWholeCommand(const wchar_t* command, const wchar_t* parameters, const wchar_t* folder,
                         const wchar_t* baseFolder, const ShellLookups& lookups, ShellCommand* out) {
    wchar_t expanded[SHELL_TEXT_SIZE];
    if (!ExpandVariables(command, lookups, expanded, SHELL_TEXT_SIZE)) return false;
    // Only a relative command that is there is taken from the program's folder: a
    // bare name such as notepad.exe is otherwise left to the shell's own search.
    bool fromBase = IsRelativePath(expanded) && JoinPath(baseFolder, expanded, out->file, SHELL_TEXT_SIZE) &&
                    lookups.pathKind(lookups.context, out->file) != PathKind::None;
    if (!fromBase && !CopyTextCut(out->file, SHELL_TEXT_SIZE, expanded)) return false;
    if (!ExpandVariables(parameters ? parameters : L"", lookups, out->parameters, SHELL_TEXT_SIZE)) return false;
    if (!folder || !*folder) return CopyTextCut(out->folder, SHELL_TEXT_SIZE, baseFolder);
    if (!ExpandVariables(folder, lookups, expanded, SHELL_TEXT_SIZE)) return false;
    Unquote(expanded);
    return JoinPath(baseFolder, expanded, out->folder, SHELL_TEXT_SIZE);
}

bool CouldSplit(const wchar_t* text) {
    if (text[0] == L'"') return true;
    bool quoted = false;
    for (; *text; ++text) {
        if (*text == L'"') quoted = !quoted;
        else if (!quoted && IsBlank(*text)) return true;
    }
    return false;
}

bool SplitAfterError(uint32_t error, const wchar_t* text) {
    bool notFound = error == SHELL_FILE_NOT_FOUND || error == SHELL_PATH_NOT_FOUND || error == SHELL_INVALID_NAME;
    return notFound && CouldSplit(text);
}

bool SplitCommand(const ShellCommand& whole, const wchar_t* baseFolder, const ShellLookups& lookups,
                  ShellCommand* out) {
    const wchar_t* text = whole.file;
    wchar_t candidate[SHELL_TEXT_SIZE];
    const wchar_t* arguments = nullptr;
    if (text[0] == L'"') {
        const wchar_t* close = text + 1;
        while (*close && *close != L'"') ++close;
        if (*close != L'"' || (close[1] && !IsBlank(close[1]))) return false;
        if (!CopyPart(candidate, SHELL_TEXT_SIZE, text + 1, size_t(close - text - 1)) || !*candidate) return false;
        // Written in quotes, it is the program whether it is found or not: the shell then
        // tells why it cannot be opened.
        if (!FindProgram(candidate, baseFolder, lookups, out->file, SHELL_TEXT_SIZE) &&
            !JoinPath(baseFolder, candidate, out->file, SHELL_TEXT_SIZE))
            return false;
        arguments = close + 1;
    } else {
        // Longest first: C:\Program Files\App\app.exe before C:\Program.
        bool quoted = false;
        size_t lastSplit = 0;
        for (size_t i = 0; text[i]; ++i) {
            if (text[i] == L'"') quoted = !quoted;
            else if (!quoted && IsBlank(text[i])) lastSplit = i;
        }
        for (size_t end = lastSplit; end > 0 && !arguments; --end) {
            if (!IsBlank(text[end]) || IsBlank(text[end - 1])) continue;
            // Blanks inside quotes are not split points; a part that ends inside
            // quotes holds a quote and names nothing.
            if (!CopyPart(candidate, SHELL_TEXT_SIZE, text, end)) continue;
            if (FindProgram(candidate, baseFolder, lookups, out->file, SHELL_TEXT_SIZE)) arguments = text + end;
        }
        if (!arguments) return false;
    }
    while (IsBlank(*arguments)) ++arguments;
    if (!JoinParameters(arguments, whole.parameters, out->parameters, SHELL_TEXT_SIZE)) return false;
    return CopyTextCut(out->folder, SHELL_TEXT_SIZE, whole.folder);
}
