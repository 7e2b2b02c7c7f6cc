// Text as the user sees it: grapheme clusters and Unicode character classes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

// The extended grapheme clusters of UTF-8 text, as views into it. Invalid
// bytes count as one cluster each.
std::vector<std::string_view> graphemes(std::string_view text);

// Number of grapheme clusters.
std::size_t graphemeCount(std::string_view text);

// The first n grapheme clusters of text (all of it when it has fewer).
std::string_view graphemePrefix(std::string_view text, std::size_t n);

// text without its first n grapheme clusters.
std::string_view dropGraphemes(std::string_view text, std::size_t n);

// text without its last n grapheme clusters.
std::string_view dropLastGraphemes(std::string_view text, std::size_t n);

// The number of leading clusters a and b have in common; bytes is set to
// their length in bytes.
std::size_t commonGraphemePrefix(std::string_view a, std::string_view b, std::size_t& bytes);

// Whether more, typed after text, joins text's last cluster instead of
// starting one of its own (the second half of a flag, a skin-tone modifier).
bool extendsLastGrapheme(std::string_view text, std::string_view more);

// Lower-cased text (simple case mapping, scalar by scalar).
std::string lowercased(std::string_view text);

// Whitespace, punctuation, symbol or number: every scalar of a one-cluster
// text belongs to one of these general categories.
bool isSeparatorCharacter(std::string_view cluster);

// Exactly one cluster made only of ASCII letters a-z, A-Z.
bool isAsciiLetter(std::string_view text);

// Whether every byte of text belongs to a well-formed UTF-8 scalar.
bool isValidUtf8(std::string_view text);

// The scalar at utf8[i], advancing i past it (by one byte for an invalid
// one, which reads as U+FFFD).
char32_t nextScalar(std::string_view utf8, std::size_t& i);

// UTF-8 <-> UTF-16 and scalar values. Invalid input is replaced by U+FFFD.
std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view utf16);
std::u32string toScalars(std::string_view utf8);
std::string fromScalars(std::u32string_view scalars);

} // namespace vanto
