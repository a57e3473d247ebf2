#include "app/instanceName.h"

static const wchar_t PREFIX[] = L"Local\\KeyDeputy instance ";

bool InstanceObjectName(const wchar_t* caption, wchar_t* name, int32_t size) {
    if (size <= 0) return false;
    int32_t length = 0;
    auto put = [&](wchar_t unit) {
        if (length + 1 >= size) return false;
        name[length++] = unit;
        return true;
    };
    bool fits = true;
    for (const wchar_t* p = PREFIX; *p && fits; ++p) fits = put(*p);
    for (const wchar_t* p = caption; p && *p && fits; ++p) {
        if (*p == L'\\') fits = put(L'/') && put(L'b');
        else if (*p == L'/') fits = put(L'/') && put(L'/');
        else fits = put(*p);
    }
    name[fits ? length : 0] = 0;
    return fits;
}
