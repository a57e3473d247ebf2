// KeyDeputyCheck on the host: UTF-8 arguments and output, KeyDeputy.xml in the current folder.
#include <unistd.h>

#include <string>
#include <vector>

#include "check/checkProgram.h"
#include "check/hostPlatform.h"

namespace {
void WriteUtf8(const wchar_t* text, size_t length, bool toError) {
    std::string bytes = Utf8FromUnits(text, length);
    int fd = toError ? STDERR_FILENO : STDOUT_FILENO;
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}
}  // namespace

int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(UnitsFromUtf8(argv[i]));
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& arg : args) pointers.push_back(arg.c_str());
    return RunChecker(int32_t(pointers.size()), pointers.data(), L"KeyDeputy.xml", HostCheckPlatform, WriteUtf8);
}
