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

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void AppendUtf16(std::string_view utf8, std::u16string& out) {
    out.reserve(out.size() + utf8.size());
    ForEachUtf16Unit(utf8, [&out](char16_t unit) { out.push_back(unit); });
}

void AppendUtf8(std::u16string_view utf16, std::string& out) {
    out.reserve(out.size() + utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (IsHighSurrogate(c) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kReplacement;
        }
        if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsWellFormed(std::u16string_view utf16) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t c = utf16[i];
        if (IsHighSurrogate(c)) {
            if (i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
                ++i;
                continue;
            }
            return false;
        }
        if (IsLowSurrogate(c)) return false;
    }
    return true;
}

}  // namespace tsly::utf8
