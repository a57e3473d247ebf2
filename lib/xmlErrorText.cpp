#include "lib/xmlReader.h"

namespace {
const wchar_t* const XML_ERROR_TEXTS[] = {
    L"没有错误",
    L"警告: 标签结束不匹配",
    L"错误: 没有数据",
    L"错误: 开始标签不是头结点",
    L"错误: 缺少标签开始名",
    L"错误: 缺少标签结束名",
    L"错误: 引用不匹配",
    L"错误: 标签结束不匹配",
    L"错误: 清除标签不匹配",
    L"错误: 发现额外节点",
    L"错误: 发现无效标签",
    L"错误: 没有找到元素",
    L"错误: 文件未找到",
    L"错误: 标签没找到",
    L"错误: 未知字符集",
    L"错误: 不能在编码直接转换",
    L"错误: 打开文件失败",
    L"错误: 不能写入到文件",
    L"警告: Base64-string length is not a multiple of 4",
    L"错误: Base64-string contains an illegal character",
    L"警告: Base64-string is truncated",
    L"错误: Base64 decode output buffer is too small",
};
constexpr int32_t XML_ERROR_TEXT_COUNT = int32_t(sizeof XML_ERROR_TEXTS / sizeof XML_ERROR_TEXTS[0]);
}  // namespace

const wchar_t* XmlErrorText(int32_t code) {
    if (code < 0 || code >= XML_ERROR_TEXT_COUNT) return L"未知错误";
    return XML_ERROR_TEXTS[code];
}
