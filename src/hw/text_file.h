// Files of the system read as C streams through the seam, in bounded pieces.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace qv {

using TextFile = std::unique_ptr<FILE, int (*)(FILE*)>;

// The file opened for reading through the seam; empty when it cannot be opened.
TextFile open_text_file(const std::string& path);

// The next piece of a line, at most max_chars characters, its newline included when
// the line ends within them: what a read into a buffer of max_chars + 1 bytes gives.
// False at end of file.
bool read_line_piece(FILE* file, std::size_t max_chars, std::string& piece);

// Removes one trailing newline.
void drop_newline(std::string& text);

}  // namespace qv
