// Checks arbitrary file contents as KeyDeputyCheck does and formats both reports:
// no crash, no overrun, and what it says agrees with itself.
// Input: the file's bytes, read in the encoding the program would choose.

#include <cstddef>
#include <cstdint>

#include "check/checkOutput.h"
#include "check/configCheck.h"
#include "check/hostPlatform.h"
#include "tests/fuzz/fuzzText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckReport* report =
        CheckConfigBytes(L"C:\\kd\\KeyDeputy.xml", size ? XML_OK : XML_NO_DATA, data, size, true, HostCheckPlatform);
    if (!report) return 0;
    int32_t errors = 0;
    for (int32_t i = 0; i < report->findingCount; ++i) {
        const Finding& f = report->findings[i];
        FUZZ_CHECK(f.line >= 0 && f.column >= 0 && (f.line == 0) == (f.column == 0));
        FUZZ_CHECK(f.code && f.message[0]);
        if (f.severity == Severity::Error) ++errors;
    }
    // A refused file always says why; an accepted one has no error.
    FUZZ_CHECK(report->loads == (report->loadReport[0] == 0));
    FUZZ_CHECK(report->loads || errors > 0);
    FUZZ_CHECK((CheckExitCode(*report) == 2) == (errors > 0));
    for (int32_t i = 0; i < report->itemCount; ++i) {
        FUZZ_CHECK(report->items[i].id == 1024 + i);
        FUZZ_CHECK(!report->items[i].hotkeyUsable || report->items[i].hotkey);
    }
    OutText out;
    FormatTextReport(*report, L"C:\\kd\\KeyDeputy.xml", &out);
    FUZZ_CHECK(!out.failed && out.count > 0);
    out.releaseMemory();
    FormatJsonReport(*report, L"C:\\kd\\KeyDeputy.xml", &out);
    FUZZ_CHECK(!out.failed && out.items[0] == L'{' && out.items[out.count - 2] == L'}');
    out.releaseMemory();
    ReleaseCheckReport(report);
    return 0;
}
