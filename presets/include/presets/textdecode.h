#pragma once
// Turning the bytes of a mic-set file into UTF-8 text, and comparing names
// without regard to letter case.
#include <string>
#include <string_view>

namespace presets {

// Decodes a file's bytes to UTF-8:
// - FF FE or FE FF at the start: UTF-16LE or UTF-16BE after the mark (an
//   unpaired surrogate becomes U+FFFD, an odd last byte is dropped);
// - EF BB BF at the start: the mark is skipped and the rest read as below,
//   a UTF-16 mark after it included;
// - no mark, an even length and a NUL in the second byte of at least three
//   byte pairs in four (and in the first of fewer than one in four):
//   UTF-16LE; the same the other way round: UTF-16BE;
// - line by line, a line that is valid UTF-8 is kept as it is, any other is
//   8-bit text in the Western Windows code page (windows-1252).
// The result is always valid UTF-8.
std::string decodeFileText(std::string_view bytes);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// UTF-8 of one windows-1252 byte string.
std::string windows1252ToUtf8(std::string_view bytes);

// Compares two UTF-8 names letter by letter, ignoring case for the Latin,
// Greek and Cyrillic letters. Bytes that are not valid UTF-8 compare as themselves.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The first `count` code points of valid UTF-8 text.
std::string_view utf8Prefix(std::string_view text, std::size_t count);

} // namespace presets
