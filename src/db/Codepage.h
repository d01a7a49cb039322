#pragma once
// The single-byte code pages of table files on disk, UTF-8 in memory.
//
// A table file names its code page in the language driver mark of its
// header (byte 29). The program's own tables and the shipment files are in
// code page 852; the fund's files may come in another one (Windows 1250).
// A file is read in the code page it names when the engine knows it, and
// refused otherwise: text is never read in a code page it is not in.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::db {

enum class CodePage : uint8_t {
    Cp852,   // DOS Latin-2, the program's own
    Cp1250,  // Windows Central European
    Cp1252,  // Windows Western European
    Cp437,   // DOS US
    Cp850,   // DOS Western European
};

// The code page a language driver mark names, when the engine reads it. No
// mark (0: dBASE III wrote none, and the fund's dBASE III files carry none)
// is code page 852, as are dBASE's 852 marks (0x64, 0x22 and the other
// languages' 0x1F, 0x23, 0x40); 0xC8 is 1250; 0x03, 0x58, 0x59 are 1252;
// 0x01 and 0x02 (with their national variants) 437 and 850. Nothing for
// every other mark, 0x57 among them: "ANSI", the code page of whatever
// machine wrote the file, which the file itself does not tell.
std::optional<CodePage> codePageOfMark(uint8_t mark);

// "852", "1250", ...: the code page's number, for messages.
const char* codePageNumber(CodePage cp);

// What a mark the engine does not read names, for messages: the code page
// dBASE gives it ("1251", "Windows ANSI, a készítő gép beállításától
// függő"); empty for a mark dBASE does not define.
std::string markedCodePage(uint8_t mark);

namespace codepage {

// Every byte has a character, so decoding never fails. (The five bytes
// 1250 and 1252 leave undefined read as the control characters of the same
// number, as Windows reads them, and are written back as they were.)
std::string toUtf8(CodePage cp, std::string_view bytes);
// The same into out, which has room for three bytes per input byte;
// returns the number of bytes written.
size_t toUtf8(CodePage cp, std::string_view bytes, char* out);

// Nothing when the text holds a character that the code page lacks (or is
// not valid UTF-8); nothing is ever replaced silently.
std::optional<std::string> fromUtf8(CodePage cp, std::string_view utf8);

// The first character of the text that the code page cannot hold, for
// messages; empty when there is none.
std::string firstUnmappable(CodePage cp, std::string_view utf8);

} // namespace codepage

// Code page 852, the program's own: the same as codepage::* with Cp852.
namespace cp852 {

std::string toUtf8(std::string_view cp852);
size_t toUtf8(std::string_view cp852, char* out);
// Bytes below 0x80 read the same in every code page here and in UTF-8.
bool isAscii(std::string_view bytes);
std::optional<std::string> fromUtf8(std::string_view utf8);
std::string firstUnmappable(std::string_view utf8);

} // namespace cp852

} // namespace velmora::db
