#include "app/configLoad.h"

#include <windows.h>

#include <cstdlib>

#include "app/messages.h"
#include "check/checkFileWin.h"
#include "check/configCheck.h"
#include "check/loadCause.h"
#include "lib/textCopy.h"
#include "lib/xmlTextDecodingWin.h"

namespace {
// The report, the cause and its fix, and one more line.
constexpr size_t LOAD_BOX_SIZE = XML_LOAD_REPORT_SIZE + 2 * FINDING_TEXT_SIZE + 512;
}  // namespace

void ShowLoadReport(const wchar_t* path, const XmlLoadOutcome& outcome, const wchar_t* lastLine) {
    wchar_t* text = static_cast<wchar_t*>(malloc(LOAD_BOX_SIZE * sizeof(wchar_t)));
    if (!text) {
        MessageBoxW(nullptr, outcome.report, XML_LOAD_REPORT_CAPTION, MB_TOPMOST | MB_ICONERROR);
        return;
    }
    CopyTextCut(text, LOAD_BOX_SIZE, outcome.report);
    // Only the probes of the running system are left out: they say nothing of a refusal.
    const CheckPlatform platform = {ReadCheckFileWin, LooksLikeUtf16, ConvertToUtf16, GetACP(),
                                    nullptr,          nullptr,        nullptr, nullptr};
    CheckReport* report = CheckConfigFile(path, platform);
    // A file changed since it was read could explain another refusal than this one.
    if (report && TextEquals(report->loadReport, outcome.report)) AppendLoadCause(*report, text, LOAD_BOX_SIZE);
    ReleaseCheckReport(report);
    if (lastLine) AppendTextCut(text, LOAD_BOX_SIZE, lastLine);
    MessageBoxW(nullptr, text, XML_LOAD_REPORT_CAPTION, MB_TOPMOST | MB_ICONERROR);
    free(text);
}

XmlElement LoadConfigOrEnd(const wchar_t* path) {
    XmlLoadOutcome outcome;
    XmlElement root = LoadConfigXml(path, KD_ROOT, &outcome);
    if (outcome.result.code == XML_OK) return root;
    ShowLoadReport(path, outcome, nullptr);
    exit(LOAD_ERROR_EXIT_CODE);
}
