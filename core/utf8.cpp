#include "core/utf8.h"

namespace tsly::utf8 {

bool IsCharBoundary(std::string_view text, std::size_t pos) {
    if (pos > text.size()) return false;
    return pos == text.size() || !IsContinuationByte(static_cast<unsigned char>(text[pos]));
}

std::size_t NextSeparator(std::string_view text, std::size_t from) {
    return from > text.size() ? std::string_view::npos : text.find('\\', from);
}

std::size_t LastSeparator(std::string_view text) { return text.rfind('\\'); }

std::size_t FindOnBoundary(std::string_view text, std::string_view needle,
                           std::size_t from) {
    if (needle.empty()) return std::string_view::npos;
    for (std::size_t at = text.find(needle, from); at != std::string_view::npos;
         at = text.find(needle, at + 1)) {
        if (IsCharBoundary(text, at)) return at;
    }
    return std::string_view::npos;
}

}  // namespace tsly::utf8
