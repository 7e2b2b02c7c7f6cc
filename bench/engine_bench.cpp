// Typing speed of the engine: real Vietnamese words typed in Telex with the
// tone key last, through the C interface, the shown text read after every key
// and the committed text at every word end. Reports nanoseconds and heap
// allocations per key, then the instructions per key the engine's functions
// execute, counted by callgrind (when valgrind is installed): a figure a busy
// machine cannot blur. They are counted twice: on the paragraph in steady
// state, and on the sentences of bench/data/ typed once into a fresh engine,
// where every word is new to it at first.
//
//   build/release/bench/engine_bench [Google Benchmark flags]
#include "vanto/engine.h"

#include "alloc_count.h"
#include "compose.h"
#include "sentence_typing.h"

#include <benchmark/benchmark.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define VANTO_HAVE_CALLGRIND 1
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// A paragraph of ordinary Vietnamese prose.
constexpr const char32_t* kText[] = {
    U"người", U"Việt",    U"Nam",   U"có",     U"một",   U"nền",   U"văn",   U"hóa",   U"lâu",
    U"đời",   U"và",      U"tiếng", U"nói",    U"của",   U"họ",    U"được",  U"viết",  U"bằng",
    U"chữ",   U"quốc",    U"ngữ",   U"trong",  U"những", U"năm",   U"gần",   U"đây",   U"nhiều",
    U"bạn",   U"trẻ",     U"đã",    U"học",    U"thêm",  U"ngoại", U"ngữ",   U"để",    U"làm",
    U"việc",  U"ở",       U"các",   U"công",   U"ty",    U"nước",  U"ngoài", U"khi",   U"trời",
    U"mưa",   U"chúng",   U"tôi",   U"thường", U"ngồi",  U"uống",  U"trà",   U"nóng",  U"bên",
    U"cửa",   U"sổ",      U"nghe",  U"tiếng",  U"chim",  U"hót",   U"xa",    U"xa",    U"cuộc",
    U"sống",  U"ở",       U"thành", U"phố",    U"luôn",  U"vội",   U"vàng",  U"nhưng", U"mỗi",
    U"buổi",  U"sáng",    U"mọi",   U"người",  U"vẫn",   U"dành",  U"thời",  U"gian",  U"cho",
    U"gia",   U"đình",    U"hòa",   U"thuận",  U"khỏe",  U"mạnh",  U"thủy",  U"chung", U"giữa",
    U"khuya", U"nghiêng", U"quyển", U"truyện", U"hoàn",  U"thành",
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

// Types the whole stream once; returns the number of keys.
std::size_t type_stream(vt_engine* e, const std::vector<std::u32string>& words) {
    char buffer[128];
    std::size_t keys = 0;
    for (const auto& word : words) {
        for (char32_t k : word) {
            vt_engine_add_key(e, k);
            benchmark::DoNotOptimize(vt_engine_text(e, 0, buffer, sizeof buffer));
        }
        benchmark::DoNotOptimize(vt_engine_text(e, 1, buffer, sizeof buffer));
        vt_engine_push_state(e);
        keys += word.size();
    }
    return keys;
}

void BM_TypeWords(benchmark::State& state) {
    const auto words = key_stream();
    vt_engine* e = vt_engine_new();
    std::size_t keys = 0;
    const std::size_t allocations_before = vanto::bench::allocations();
    for (auto _ : state) keys += type_stream(e, words);
    const double allocations = double(vanto::bench::allocations() - allocations_before);
    state.counters["time/key"] =
        benchmark::Counter(double(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs/key"] = allocations / double(keys);
    state.SetItemsProcessed(static_cast<int64_t>(keys));
    vt_engine_free(e);
}
BENCHMARK(BM_TypeWords);

constexpr const char* kChildFlag = "--count-instructions";
constexpr int kPasses = 20;

// The words of the Vietnamese sentences of bench/data/, in their order, as
// Telex keys with the tone key last: prose the engine has not seen before.
std::vector<std::u32string> corpus_stream() {
    using namespace vanto::bench;
    std::vector<std::u32string> words;
    for (const Sentence& s : read_sentences(std::string(VANTO_BENCH_DATA) + "/vi_sentences.txt",
                                            Language::Vietnamese, false))
        for (const std::u32string& w : words_of(s.text))
            words.push_back(keys_for(w, Style::TelexToneLast));
    return words;
}

// Under callgrind: the paragraph is typed twice to reach steady state before
// the counters start from zero for the measured passes; the corpus is typed
// once into a fresh engine, every first sight of a word counted. Prints the
// number of keys measured.
int count_instructions_child(const char* stream) {
    const bool paragraph = std::strcmp(stream, "paragraph") == 0;
    const auto words = paragraph ? key_stream() : corpus_stream();
    vt_engine* e = vt_engine_new();
    if (paragraph) {
        type_stream(e, words);
        type_stream(e, words);
    }
#ifdef VANTO_HAVE_CALLGRIND
    CALLGRIND_ZERO_STATS;
#endif
    std::size_t keys = 0;
    for (int i = 0; i < (paragraph ? kPasses : 1); ++i) keys += type_stream(e, words);
    vt_engine_free(e);
    std::printf("%zu\n", keys);
    return 0;
}

// Runs this program under callgrind on stream, counting only inside the
// engine's interface functions, and prints instructions per key.
void report_instructions(const char* self, const char* stream, const char* what) {
    const std::string out = "/tmp/vanto-engine-bench-" + std::to_string(::getpid()) + ".callgrind";
    const std::string command = "valgrind --tool=callgrind --toggle-collect='vt_engine_*' "
                                "--callgrind-out-file=" +
                                out + " '" + self + "' " + kChildFlag + " " + stream +
                                " 2>/dev/null";
    std::size_t keys = 0;
    if (FILE* child = ::popen(command.c_str(), "r")) {
        if (std::fscanf(child, "%zu", &keys) != 1) keys = 0;
        ::pclose(child);
    }
    std::ifstream in(out);
    std::string line;
    unsigned long long total = 0;
    while (std::getline(in, line))
        if (line.rfind("totals: ", 0) == 0 || line.rfind("summary: ", 0) == 0)
            total = std::strtoull(line.c_str() + line.find(' ') + 1, nullptr, 10);
    std::remove(out.c_str());
    if (keys == 0 || total == 0) {
        std::printf("instructions/key, %s: callgrind gave no count\n", stream);
        return;
    }
    std::printf("instructions/key: %5.0f  %s (%zu keys)\n", double(total) / double(keys), what,
                keys);
}

void report_instructions(const char* self) {
    if (std::system("command -v valgrind >/dev/null 2>&1") != 0) {
        std::printf("instructions/key: valgrind is not installed (tools/setup.sh installs it)\n");
        return;
    }
    std::printf("Counted by callgrind inside the vt_engine_* functions only:\n");
    report_instructions(self, "paragraph", "the paragraph above, after two passes of warm-up");
    report_instructions(self, "corpus",
                        "the Vietnamese sentences of bench/data/, once, from a fresh engine");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0)
        return count_instructions_child(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    report_instructions(argv[0]);
    return 0;
}
