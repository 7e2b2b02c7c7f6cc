// Character helpers shared by the engine: case mapping for the letters that can
// reach a word, and UTF-8 output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vanto::engine {

using Text = std::u32string;
using TextView = std::u32string_view;

// A text the length of a word, held in place. The engine builds several of
// these for every key, and a std::u32string allocates for anything longer than
// three letters. A text longer than the inline room, which only a caller
// feeding one very long word produces, moves to the heap.
class InlineText {
  public:
    static constexpr std::size_t kInline = 40;

    InlineText() = default;
    explicit InlineText(TextView text) { assign(text); }
    InlineText(const InlineText& other) { assign(other); }
    InlineText& operator=(const InlineText& other) {
        if (this != &other) assign(other);
        return *this;
    }

    std::size_t size() const { return spilled_ ? heap_.size() : size_; }
    bool empty() const { return size() == 0; }
    const char32_t* data() const { return spilled_ ? heap_.data() : inline_; }
    char32_t* data() { return spilled_ ? heap_.data() : inline_; }
    char32_t operator[](std::size_t i) const { return data()[i]; }
    char32_t& operator[](std::size_t i) { return data()[i]; }
    char32_t back() const { return data()[size() - 1]; }
    operator TextView() const { return TextView(data(), size()); }

    void assign(TextView text) {
        if (text.size() <= kInline) {
            std::char_traits<char32_t>::move(inline_, text.data(), text.size());
            size_ = text.size();
            spilled_ = false;
        } else {
            heap_.assign(text);
            spilled_ = true;
        }
    }
    InlineText& operator+=(TextView text) {
        if (!spilled_ && size_ + text.size() <= kInline) {
            std::char_traits<char32_t>::move(inline_ + size_, text.data(), text.size());
            size_ += text.size();
        } else {
            spill();
            heap_.append(text);
        }
        return *this;
    }
    InlineText& operator+=(char32_t c) {
        if (!spilled_ && size_ < kInline) {
            inline_[size_++] = c;
            return *this;
        }
        return *this += TextView(&c, 1);
    }

  private:
    void spill() {
        if (spilled_) return;
        heap_.assign(inline_, size_);
        spilled_ = true;
    }

    char32_t inline_[kInline];
    std::size_t size_ = 0;
    bool spilled_ = false;
    Text heap_;
};

// Simple (one-character) Unicode case mappings. They cover ASCII, Latin-1,
// Latin Extended-A, the Vietnamese letters of Latin Extended-B and Latin
// Extended Additional, and the Kelvin sign; every other character maps to
// itself. Nothing outside these ranges can fold onto a dictionary letter, so
// the answers of every lookup are those of the full Unicode tables.
char32_t to_lower_any(char32_t c);
char32_t to_upper(char32_t c);

// Most keys and letters are ASCII; those never reach the range tables.
inline char32_t to_lower(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 0x20 : c;
    return to_lower_any(c);
}

inline bool is_ascii_letter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

// Appends the UTF-8 form of text to out.
void append_utf8(std::string& out, TextView text);

// Number of UTF-8 bytes text needs.
std::size_t utf8_length(TextView text);

// Writes text as UTF-8 into out, which must hold utf8_length(text) bytes.
void write_utf8(char* out, TextView text);

} // namespace vanto::engine
