// Character helpers shared by the engine: case mapping for the letters that can
// reach a word, and UTF-8 output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vanto::reference {

using Text = std::u32string;
using TextView = std::u32string_view;

// Simple (one-character) Unicode case mappings. They cover ASCII, Latin-1,
// Latin Extended-A, the Vietnamese letters of Latin Extended-B and Latin
// Extended Additional, and the Kelvin sign; every other character maps to
// itself. Nothing outside these ranges can fold onto a dictionary letter, so
// the answers of every lookup are those of the full Unicode tables.
char32_t to_lower(char32_t c);
char32_t to_upper(char32_t c);

inline bool is_ascii_letter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

// Appends the UTF-8 form of text to out.
void append_utf8(std::string& out, TextView text);

// Number of UTF-8 bytes text needs.
std::size_t utf8_length(TextView text);

// Writes text as UTF-8 into out, which must hold utf8_length(text) bytes.
void write_utf8(char* out, TextView text);

} // namespace vanto::reference
