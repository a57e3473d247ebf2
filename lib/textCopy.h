// Bounded UTF-16 text helpers shared by the reader and every subsystem.
#pragma once

#include <cstddef>
#include <cstdint>

// Copies source into dest (capacity units, terminator included), cutting a text
// that does not fit, never between the two halves of a surrogate pair.
// Returns true when the whole text fitted. A null source copies as empty.
bool CopyTextCut(wchar_t* dest, size_t capacity, const wchar_t* source);

// Appends source to the text already in dest under the same rules.
bool AppendTextCut(wchar_t* dest, size_t capacity, const wchar_t* source);

size_t TextLength(const wchar_t* text);
bool TextEquals(const wchar_t* a, const wchar_t* b);
// Substring search, case-sensitive or with ASCII letters folded; an empty needle
// is always found.
bool TextContains(const wchar_t* haystack, const wchar_t* needle);
bool TextContainsIgnoreAsciiCase(const wchar_t* haystack, const wchar_t* needle);
// The one case fold of the program: A-Z to a-z, every other code unit as it is.
inline wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }
// ASCII letters fold, every other code unit must match; whole texts compared.
bool TextEqualsIgnoreAsciiCase(const wchar_t* a, const wchar_t* b);

// Length of the folder part of path (up to its last \ or /), 0 when it has none. A
// root keeps its separator (C:\ and \), so the folder is one the platform can use.
size_t PathFolderLength(const wchar_t* path);

// Puts text in place of the first "%s" of format; every other "%" is shown as
// written, so a user's text never reaches a printf-style function. The result is
// cut to fit capacity (terminator included), never inside a surrogate pair.
void FormatOneText(const wchar_t* format, const wchar_t* text, wchar_t* out, size_t capacity);

// Decimal digits of value with its sign; out has room for 21 units (12 suffice
// for any int32_t).
void FormatNumber(wchar_t* out, int64_t value);
