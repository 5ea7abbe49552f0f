// Texts are UTF-16 code units, as the program has always held them.
#pragma once

#include <string>
#include <string_view>

using CString = std::u16string;

// UTF-8 to UTF-16; malformed bytes become U+FFFD.
CString FromUtf8(std::string_view text);
// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// Bytes of the system code page (Windows-1252) to UTF-16.
CString FromCodePage1252(std::string_view bytes);

// printf-style formatting of an ASCII format with numbers, e.g. "Time:%d  Score:%d".
CString FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Replaces "%1", "%2", ... in a message with the given texts.
CString FormatMessageText(std::u16string_view message, std::initializer_list<CString> args);
