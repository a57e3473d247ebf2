#include "check/checkProgram.h"

#include "check/checkOutput.h"
#include "check/configCheck.h"
#include "lib/textCopy.h"

namespace {
const wchar_t USAGE[] =
    L"用法：KeyDeputyCheck [--json] [文件]\n"
    L"检查 KeyDeputy 的配置文件，说明每个问题的位置和改法。\n"
    L"不给文件时检查程序旁边（Windows）或当前文件夹里的 KeyDeputy.xml。\n"
    L"  --json  以 JSON 输出\n"
    L"退出码：0 没有问题（最多只有提示），1 有警告，2 有错误（程序会拒绝这个文件），3 用法错误。\n";

void WriteText(CheckWrite write, const wchar_t* text, bool toError) { write(text, TextLength(text), toError); }
}  // namespace

int32_t RunChecker(int32_t argc, const wchar_t* const* argv, const wchar_t* defaultPath,
                   const CheckPlatform& platform, CheckWrite write) {
    bool json = false;
    const wchar_t* path = nullptr;
    for (int32_t i = 0; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        if (TextEquals(arg, L"--json")) {
            json = true;
        } else if (TextEquals(arg, L"--help") || TextEquals(arg, L"-h") || TextEquals(arg, L"/?")) {
            WriteText(write, USAGE, false);
            return 0;
        } else if (arg[0] == L'-' && arg[1] != 0) {
            WriteText(write, L"未知选项：", true);
            WriteText(write, arg, true);
            WriteText(write, L"\n", true);
            WriteText(write, USAGE, true);
            return CHECK_EXIT_USAGE;
        } else if (path) {
            WriteText(write, L"只能检查一个文件\n", true);
            WriteText(write, USAGE, true);
            return CHECK_EXIT_USAGE;
        } else {
            path = arg;
        }
    }
    if (!path) path = defaultPath;

    CheckReport* report = CheckConfigFile(path, platform);
    if (!report) {
        WriteText(write, L"内存不足\n", true);
        return 2;
    }
    OutText out;
    if (json)
        FormatJsonReport(*report, path, &out);
    else
        FormatTextReport(*report, path, &out);
    int32_t code = CheckExitCode(*report);
    if (out.failed) {
        WriteText(write, L"内存不足\n", true);
        code = 2;
    } else {
        write(out.items, out.count, false);
    }
    out.releaseMemory();
    ReleaseCheckReport(report);
    return code;
}
