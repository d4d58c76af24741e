// Reading files the way every profile reader does, and the case rules of the format.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace qv {

// Every reader takes a file in pieces of at most 79 characters (an 80-byte buffer),
// so a longer line arrives as two or more pieces.
inline constexpr int kPieceSize = 80;

// The next piece, newline included when the piece ends a line; false at end of file.
bool read_piece(FILE* file, std::string& piece);

// Removes one trailing newline; true when there was one.
bool chop_newline(std::string& line);
// Removes one trailing newline, or else one trailing carriage return; true when one went.
bool chop_newline_or_cr(std::string& line);

bool iequals(std::string_view a, std::string_view b);
bool istarts_with(std::string_view text, std::string_view prefix);

// A key=value entry: the key is the text before the first "=", the value all after it.
struct Entry {
    std::string_view key;
    std::string_view value;
};
bool split_entry(std::string_view line, Entry& entry);

// Numbers as the C library parses them on the 32-bit target: leading blanks and a sign
// accepted, "0x" allowed in base 16, stops at the first non-digit, 0 without digits,
// and an out-of-range magnitude saturates at 0xFFFFFFFF.
uint32_t parse_u32(std::string_view text, int base);

}  // namespace qv
