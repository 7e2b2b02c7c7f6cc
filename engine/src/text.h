// Character helpers shared by the engine: case mapping for the letters that can
// reach a word, and UTF-8 output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vanto::engine {

using Text = std::u32string;
using TextView = std::u32string_view;

// A text the length of a word, held in place. The engine builds several of
// these for every key, and a std::u32string allocates for anything longer than
// three letters. A text longer than the inline room, which only a caller
// feeding one very long word produces, moves to the heap and keeps that room.
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

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const char32_t* data() const { return data_; }
    char32_t* data() { return data_; }
    char32_t operator[](std::size_t i) const { return data_[i]; }
    char32_t& operator[](std::size_t i) { return data_[i]; }
    char32_t back() const { return data_[size_ - 1]; }
    operator TextView() const { return TextView(data_, size_); }

    // text may be a part of this one.
    void assign(TextView text) {
        if (text.size() > capacity_) {
            replace_room(text.size(), text, TextView());
        } else {
            std::char_traits<char32_t>::move(data_, text.data(), text.size());
            size_ = text.size();
        }
    }
    InlineText& operator+=(TextView text) {
        if (size_ + text.size() > capacity_) {
            replace_room(2 * (size_ + text.size()), *this, text);
        } else {
            std::char_traits<char32_t>::move(data_ + size_, text.data(), text.size());
            size_ += text.size();
        }
        return *this;
    }
    InlineText& operator+=(char32_t c) {
        if (size_ == capacity_) return *this += TextView(&c, 1);
        data_[size_++] = c;
        return *this;
    }

  private:
    // Moves to a heap room of capacity characters holding head then tail,
    // either of which may lie in the old room.
    void replace_room(std::size_t capacity, TextView head, TextView tail) {
        auto room = std::make_unique<char32_t[]>(capacity);
        std::char_traits<char32_t>::copy(room.get(), head.data(), head.size());
        std::char_traits<char32_t>::copy(room.get() + head.size(), tail.data(), tail.size());
        size_ = head.size() + tail.size();
        heap_ = std::move(room);
        data_ = heap_.get();
        capacity_ = capacity;
    }

    char32_t inline_[kInline];
    char32_t* data_ = inline_;
    std::size_t size_ = 0;
    std::size_t capacity_ = kInline;
    std::unique_ptr<char32_t[]> heap_;
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

// Writes text as UTF-8 into out, which must hold utf8_length(text) bytes;
// returns the end of what it wrote.
char* write_utf8(char* out, TextView text);

} // namespace vanto::engine
