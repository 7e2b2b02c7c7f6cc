// Typing speed of the engine: real Vietnamese words typed in Telex with the
// tone key last, through the C interface. Reports nanoseconds and heap
// allocations per key.
//
//   build/release/bench/engine_bench
#include "vanto/engine.h"

#include "alloc_count.h"
#include "compose.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// A paragraph of ordinary Vietnamese prose.
constexpr const char32_t* kText[] = {
    U"người", U"Việt", U"Nam", U"có", U"một", U"nền", U"văn", U"hóa", U"lâu", U"đời", U"và",
    U"tiếng", U"nói", U"của", U"họ", U"được", U"viết", U"bằng", U"chữ", U"quốc", U"ngữ",
    U"trong", U"những", U"năm", U"gần", U"đây", U"nhiều", U"bạn", U"trẻ", U"đã", U"học",
    U"thêm", U"ngoại", U"ngữ", U"để", U"làm", U"việc", U"ở", U"các", U"công", U"ty",
    U"nước", U"ngoài", U"khi", U"trời", U"mưa", U"chúng", U"tôi", U"thường", U"ngồi",
    U"uống", U"trà", U"nóng", U"bên", U"cửa", U"sổ", U"nghe", U"tiếng", U"chim", U"hót",
    U"xa", U"xa", U"cuộc", U"sống", U"ở", U"thành", U"phố", U"luôn", U"vội", U"vàng",
    U"nhưng", U"mỗi", U"buổi", U"sáng", U"mọi", U"người", U"vẫn", U"dành", U"thời",
    U"gian", U"cho", U"gia", U"đình", U"hòa", U"thuận", U"khỏe", U"mạnh", U"thủy",
    U"chung", U"giữa", U"khuya", U"nghiêng", U"quyển", U"truyện", U"hoàn", U"thành",
};

// Telex keys for a word: letters with their mark keys, the tone key last.
std::u32string telex_keys(const vanto::engine::Engine& e, std::u32string_view word) {
    using vanto::engine::Mark;
    std::u32string keys;
    char32_t tone = 0;
    for (char32_t c : word) {
        const auto d = vanto::engine::decompose(e, c);
        keys += d.base;
        if (d.mark == Mark::Circumflex || d.mark == Mark::Stroke) keys += d.base;
        if (d.mark == Mark::Breve || d.mark == Mark::Horn) keys += U'w';
        if (d.tone) tone = d.tone;
    }
    if (tone) keys += tone;
    return keys;
}

std::vector<std::u32string> key_stream() {
    vanto::engine::Engine e;
    std::vector<std::u32string> words;
    for (const char32_t* w : kText) words.push_back(telex_keys(e, w));
    return words;
}

void BM_TypeWords(benchmark::State& state) {
    const auto words = key_stream();
    vt_engine* e = vt_engine_new();
    char buffer[128];
    std::size_t keys = 0;
    const std::size_t allocations_before = vanto::bench::allocations();
    for (auto _ : state) {
        for (const auto& word : words) {
            for (char32_t k : word) {
                vt_engine_add_key(e, k);
                benchmark::DoNotOptimize(vt_engine_text(e, 0, buffer, sizeof buffer));
            }
            benchmark::DoNotOptimize(vt_engine_text(e, 1, buffer, sizeof buffer));
            vt_engine_push_state(e);
            keys += word.size();
        }
    }
    const double allocations = double(vanto::bench::allocations() - allocations_before);
    state.counters["time/key"] = benchmark::Counter(
        double(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs/key"] = allocations / double(keys);
    state.SetItemsProcessed(static_cast<int64_t>(keys));
    vt_engine_free(e);
}
BENCHMARK(BM_TypeWords);

} // namespace

BENCHMARK_MAIN();
