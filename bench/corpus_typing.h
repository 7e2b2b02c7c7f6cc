// What the typing benchmarks share: reading the corpus files of bench/data/
// and typing keys into the engine as one word.
#pragma once

#include "typing_styles.h"
#include "vanto/engine.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vanto::bench {

// A fault of the input files or the command line: the program names it and
// stops with status 2.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Entry {
    std::u32string word;
    std::uint64_t count = 0;
};

// "count<TAB>word" lines; anything else stops the run with the line at fault.
inline std::vector<Entry> read_counts(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError(path + ": cannot open");
    std::vector<Entry> out;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        auto fail = [&](const char* why) {
            throw InputError(path + ":" + std::to_string(number) + ": " + why);
        };
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size())
            fail("expected count<TAB>word");
        Entry e;
        for (std::size_t i = 0; i < tab; ++i) {
            if (line[i] < '0' || line[i] > '9') fail("the count is not a number");
            if (e.count > (UINT64_MAX - 9) / 10) fail("the count is too large");
            e.count = e.count * 10 + static_cast<std::uint64_t>(line[i] - '0');
        }
        if (e.count == 0) fail("the count is zero");
        if (!decode_utf8(std::string_view(line).substr(tab + 1), e.word))
            fail("the word is not valid UTF-8");
        out.push_back(std::move(e));
    }
    if (out.empty()) throw InputError(path + ": no words");
    return out;
}

using EnginePtr = std::unique_ptr<vt_engine, decltype(&vt_engine_free)>;

// Types keys as one word and returns what the application keeps when the
// word ends.
inline std::u32string type_word(vt_engine* e, std::u32string_view keys) {
    vt_engine_reset(e);
    for (char32_t k : keys) vt_engine_add_key(e, k);
    char small[256];
    std::uint64_t n = vt_engine_text(e, VT_ENGINE_TEXT_COMMITTED, small, sizeof small);
    std::string bytes;
    if (n <= sizeof small) {
        bytes.assign(small, n);
    } else {
        bytes.assign(n, '\0');
        vt_engine_text(e, VT_ENGINE_TEXT_COMMITTED, bytes.data(), n);
    }
    std::u32string out;
    if (!decode_utf8(bytes, out)) throw std::runtime_error("engine wrote invalid UTF-8");
    return out;
}

inline std::string percent(std::uint64_t part, std::uint64_t whole) {
    if (whole == 0) return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f%%",
                  100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return buf;
}

} // namespace vanto::bench
