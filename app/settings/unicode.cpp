#include "unicode.h"

#include <utf8proc.h>

namespace vanto {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one scalar at text[i]; advances i by at least one byte.
char32_t next(std::string_view text, std::size_t& i) {
    utf8proc_int32_t c = -1;
    const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(text.data() + i);
    utf8proc_ssize_t n = utf8proc_iterate(p, static_cast<utf8proc_ssize_t>(text.size() - i), &c);
    if (n <= 0 || c < 0) {
        ++i;
        return kReplacement;
    }
    i += static_cast<std::size_t>(n);
    return static_cast<char32_t>(c);
}

void append(std::string& out, char32_t c) {
    utf8proc_uint8_t buffer[4];
    const utf8proc_ssize_t n = utf8proc_encode_char(static_cast<utf8proc_int32_t>(c), buffer);
    out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
}

bool valid_scalar(char32_t c) {
    return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

// Steps through the clusters of a text, one at a time, so that two texts can
// be walked side by side without collecting their clusters first.
class ClusterCursor {
  public:
    explicit ClusterCursor(std::string_view text) : text_(text) {
        if (!text_.empty()) previous_ = next(text_, i_);
    }

    // The next cluster; empty at the end.
    std::string_view advance() {
        if (start_ >= text_.size()) return {};
        while (i_ < text_.size()) {
            const std::size_t at = i_;
            const char32_t c = next(text_, i_);
            const bool breaks = breaksBefore(c);
            previous_ = c;
            if (breaks) {
                const std::string_view cluster = text_.substr(start_, at - start_);
                start_ = at;
                return cluster;
            }
        }
        const std::string_view cluster = text_.substr(start_);
        start_ = text_.size();
        return cluster;
    }

    // Whether c would start a new cluster after everything read so far.
    bool breaksBefore(char32_t c) {
        return utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(previous_),
                                                static_cast<utf8proc_int32_t>(c), &state_);
    }

  private:
    std::string_view text_;
    std::size_t start_ = 0, i_ = 0;
    utf8proc_int32_t state_ = 0;
    char32_t previous_ = 0;
};

template <class Visit> void forEachCluster(std::string_view text, Visit visit) {
    ClusterCursor cursor(text);
    for (std::string_view g = cursor.advance(); !g.empty(); g = cursor.advance())
        if (!visit(g)) return;
}

} // namespace

std::vector<std::string_view> graphemes(std::string_view text) {
    std::vector<std::string_view> out;
    forEachCluster(text, [&](std::string_view g) {
        out.push_back(g);
        return true;
    });
    return out;
}

std::size_t graphemeCount(std::string_view text) {
    std::size_t n = 0;
    forEachCluster(text, [&](std::string_view) {
        ++n;
        return true;
    });
    return n;
}

std::string_view graphemePrefix(std::string_view text, std::size_t n) {
    std::size_t bytes = 0, seen = 0;
    if (n == 0) return text.substr(0, 0);
    forEachCluster(text, [&](std::string_view g) {
        bytes += g.size();
        return ++seen < n;
    });
    return text.substr(0, bytes);
}

std::string_view dropGraphemes(std::string_view text, std::size_t n) {
    return text.substr(graphemePrefix(text, n).size());
}

std::string_view dropLastGraphemes(std::string_view text, std::size_t n) {
    const std::size_t count = graphemeCount(text);
    return graphemePrefix(text, n >= count ? 0 : count - n);
}

std::string lowercased(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        append(out, static_cast<char32_t>(
                        utf8proc_tolower(static_cast<utf8proc_int32_t>(next(text, i)))));
    return out;
}

bool isSeparatorCharacter(std::string_view cluster) {
    if (cluster.empty() || graphemeCount(cluster) != 1) return false;
    for (std::size_t i = 0; i < cluster.size();) {
        switch (utf8proc_category(static_cast<utf8proc_int32_t>(next(cluster, i)))) {
        case UTF8PROC_CATEGORY_ZS:
        case UTF8PROC_CATEGORY_ZL:
        case UTF8PROC_CATEGORY_ZP:
        case UTF8PROC_CATEGORY_PC:
        case UTF8PROC_CATEGORY_PD:
        case UTF8PROC_CATEGORY_PS:
        case UTF8PROC_CATEGORY_PE:
        case UTF8PROC_CATEGORY_PI:
        case UTF8PROC_CATEGORY_PF:
        case UTF8PROC_CATEGORY_PO:
        case UTF8PROC_CATEGORY_SM:
        case UTF8PROC_CATEGORY_SC:
        case UTF8PROC_CATEGORY_SK:
        case UTF8PROC_CATEGORY_SO:
        case UTF8PROC_CATEGORY_ND:
        case UTF8PROC_CATEGORY_NL:
        case UTF8PROC_CATEGORY_NO:
            break;
        case UTF8PROC_CATEGORY_CC: {
            // Tab, line feed and the other whitespace controls count as spaces.
            const char32_t c = cluster[0];
            if (!(c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r')) return false;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

bool isAsciiLetter(std::string_view text) {
    if (text.size() != 1) return false;
    const char c = text[0];
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = next(utf8, i);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string fromUtf16(std::u16string_view utf16) {
    std::string out;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        append(out, c);
    }
    return out;
}

char32_t nextScalar(std::string_view utf8, std::size_t& i) {
    return next(utf8, i);
}

std::size_t commonGraphemePrefix(std::string_view a, std::string_view b, std::size_t& bytes) {
    ClusterCursor left(a), right(b);
    std::size_t count = 0;
    bytes = 0;
    for (;;) {
        const std::string_view x = left.advance(), y = right.advance();
        if (x.empty() || x != y) return count;
        ++count;
        bytes += x.size();
    }
}

bool extendsLastGrapheme(std::string_view text, std::string_view more) {
    if (text.empty() || more.empty()) return false;
    ClusterCursor cursor(text);
    while (!cursor.advance().empty()) {
    }
    std::size_t i = 0;
    return !cursor.breaksBefore(next(more, i));
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        utf8proc_int32_t c = -1;
        const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(text.data() + i);
        const utf8proc_ssize_t n =
            utf8proc_iterate(p, static_cast<utf8proc_ssize_t>(text.size() - i), &c);
        if (n <= 0 || c < 0) return false;
        i += static_cast<std::size_t>(n);
    }
    return true;
}

std::u32string toScalars(std::string_view utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) out += next(utf8, i);
    return out;
}

std::string fromScalars(std::u32string_view scalars) {
    std::string out;
    for (char32_t c : scalars) append(out, valid_scalar(c) ? c : kReplacement);
    return out;
}

} // namespace vanto
