// System files read as C streams through the seam, in bounded pieces.
#include "hw/text_file.h"

#include "platform/os.h"

namespace qv {

TextFile open_text_file(const std::string& path) { return {platform::os().fopen(path.c_str(), "r"), std::fclose}; }

bool read_line_piece(FILE* file, std::size_t max_chars, std::string& piece)
{
    piece.clear();
    while (piece.size() < max_chars) {
        const int c = std::fgetc(file);
        if (c == EOF) break;
        piece.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !piece.empty();
}

void drop_newline(std::string& text)
{
    if (!text.empty() && text.back() == '\n') text.pop_back();
}

}  // namespace qv
