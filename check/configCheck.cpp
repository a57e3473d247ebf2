#include "check/configCheck.h"

#include <cstdlib>
#include <new>

#include "app/messages.h"
#include "check/checkContext.h"
#include "check/checkText.h"
#include "lib/xmlLoadReport.h"
#include "lib/xmlTextDecoding.h"

namespace {

CheckEncoding EncodingOf(const XmlTextDecision& decision) {
    switch (decision.encoding) {
    case XmlTextEncoding::Utf16: return decision.skipBytes ? CheckEncoding::Utf16Bom : CheckEncoding::Utf16;
    case XmlTextEncoding::Utf8: return decision.skipBytes ? CheckEncoding::Utf8Bom : CheckEncoding::Utf8;
    default: return CheckEncoding::Ansi;
    }
}

void ReportUnread(CheckReport* report, const wchar_t* path, XmlError code, bool exists) {
    FormatXmlLoadReport(report->loadReport, LOAD_REPORT_SIZE, path, code, 0, 0, KD_ROOT);
    if (code == XML_NO_DATA)
        AddFinding(report, Severity::Error, "file-empty", {0, 0}, {L"KeyDeputy 拒绝加载：", XmlErrorText(code)},
                   {L"文件是空的；从示例配置 KeyDeputy.xml 开始写"});
    else if (code == XML_FILE_NOT_FOUND && exists)
        AddFinding(report, Severity::Error, "file-unreadable", {0, 0}, {L"KeyDeputy 拒绝加载：", XmlErrorText(code)},
                   {L"文件存在但读不出来：检查它是否被别的程序锁住，或当前用户有没有读取权限"});
    else if (code == XML_FILE_NOT_FOUND)
        AddFinding(report, Severity::Error, "file-missing", {0, 0}, {L"KeyDeputy 拒绝加载：", XmlErrorText(code)},
                   {L"配置文件要放在程序旁边，与程序同名（KeyDeputy.xml）"});
    else
        AddFinding(report, Severity::Error, "load-error", {0, 0}, {L"KeyDeputy 拒绝加载：", XmlErrorText(code)}, {});
}

}  // namespace

CheckReport* CheckConfigBytes(const wchar_t* path, XmlError readCode, const unsigned char* bytes, size_t length,
                              bool exists, const CheckPlatform& platform) {
    // malloc and placement new: the library's operator new would bring its exception
    // support into KeyDeputy.exe, which shows this report's cause.
    void* memory = malloc(sizeof(CheckReport));
    if (!memory) return nullptr;
    CheckReport* report = new (memory) CheckReport();
    report->ansiCodePage = platform.ansiCodePage;
    if (readCode != XML_OK) {
        ReportUnread(report, path, readCode, exists);
        return report;
    }
    XmlTextDecision decision;
    report->text = DecodeXmlText(bytes, length, CONFIG_GUESS_UTF16, CONFIG_UTF8_INPUT,
                                 {platform.looksUtf16, platform.decode}, &decision);
    report->encoding = EncodingOf(decision);
    if (!report->text) {
        ReportUnread(report, path, XML_OUT_OF_MEMORY, true);
        return report;
    }

    wchar_t folder[SHELL_TEXT_SIZE];
    CopyTextCut(folder, SHELL_TEXT_SIZE, path);
    folder[PathFolderLength(folder)] = 0;
    report->lines = BuildLineIndex(report->text);
    CheckContext c = {report, &platform, report->text, {}, nullptr, report->lines, folder};
    XmlParseObserver observer = {&c.places, ObserveElement};
    ParseObserver = &observer;
    XmlParseResult result = {XML_OK, 0, 0};
    report->root = ParseXmlText(report->text, KD_ROOT, &result);
    report->loads = result.code == XML_OK;
    if (c.places.failed) {
        ReportUnread(report, path, XML_OUT_OF_MEMORY, true);
    } else {
        if (!report->loads) {
            FormatXmlLoadReport(report->loadReport, LOAD_REPORT_SIZE, path, result.code, result.line, result.column,
                                KD_ROOT);
            ExplainLoadError(c, result);
        }
        // A refused file with a tree (mismatched end tags) is still explained item by item.
        if (!report->root.isEmpty()) {
            SortPlaces(c);
            CheckSections(c, report->root);
            CheckMenu(c, report->root);
        }
    }
    ParseObserver = nullptr;
    c.places.releaseMemory();
    free(c.byRecord);
    return report;
}

CheckReport* CheckConfigFile(const wchar_t* path, const CheckPlatform& platform) {
    unsigned char* bytes = nullptr;
    size_t length = 0;
    bool exists = false;
    XmlError code = platform.readFile(path, &bytes, &length, &exists);
    CheckReport* report = CheckConfigBytes(path, code, bytes, length, exists, platform);
    free(bytes);
    return report;
}

void ReleaseCheckReport(CheckReport* report) {
    if (!report) return;
    free(report->text);
    ReleaseLineIndex(&report->lines);
    report->~CheckReport();
    free(report);
}

int32_t CheckExitCode(const CheckReport& report) {
    int32_t code = 0;
    for (int32_t i = 0; i < report.findingCount; ++i) {
        if (report.findings[i].severity == Severity::Error) return 2;
        if (report.findings[i].severity == Severity::Warning) code = 1;
    }
    return code;
}

void AddFinding(CheckReport* report, Severity severity, const char* code, CheckPosition position,
                std::initializer_list<const wchar_t*> message, std::initializer_list<const wchar_t*> help) {
    if (report->findingCount == MAX_FINDINGS) {
        ++report->findingsLeftOut;
        return;
    }
    Finding& finding = report->findings[report->findingCount++];
    finding.severity = severity;
    finding.line = position.line;
    finding.column = position.column;
    finding.code = code;
    JoinText(finding.message, FINDING_TEXT_SIZE, message);
    JoinText(finding.help, FINDING_TEXT_SIZE, help);
}
