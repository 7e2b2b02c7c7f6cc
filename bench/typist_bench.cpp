// Per-key latency of the keystroke pipeline and its memory over a long run.
//
//   build/release/bench/typist_bench
//
// Types a paragraph of Vietnamese in Telex, over and over, through
// Typist::process (the tap's entry, lock included) into a sender that keeps
// nothing, and prints the median and 99th percentile per key; then the heap
// allocations per key, into that sender and into the key sender over the
// portable events, beside those of the engine alone fed the same keys (its
// share of both), and with English in context on, over the same paragraph and
// over English whose words are also Telex syllables; then feeds a million key events through the
// event tap's callback and prints how much the process grew.
#include "alloc_count.h"
#include "pipeline/app_profile.h"
#include "pipeline/event_tap.h"
#include "pipeline/typist.h"
#include "platform/portable/portable_platform.h"
#include "settings/settings.h"
#include "settings/unicode.h"
#include "setup/key_feed.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace vanto;

namespace {

constexpr std::string_view kParagraph =
    "nguwowif Vieetj Nam cos mootj neenf vawn hoas laau ddowif vaf tieengs nois cuar hoj "
    "dduwowcj vieets bawngf chuwx quoocs nguwx trong nhuwngx nawm gaanf ddaay nhieeuf banj "
    "trer ddax hocj theem ngoaij nguwx ddeer lamf vieecj owr cacs coong ty nuwowcs ngoaif ";
// English whose words are also Telex syllables, for the English decision.
constexpr std::string_view kEnglishParagraph =
    "This is a list of the tests, as it has been too long. If the tree must be reset now "
    "or the host has its own rows, see how the box is set up. Of course there is a test. ";

class NullTyping final : public KeyTyping {
  public:
    void type(std::string_view, std::int64_t, BeforeDeleting) override {}
};

struct Rig {
    explicit Rig(PortablePlatform& p, KeyTyping* typing = nullptr, bool englishContext = false)
        : domain(p.defaults.suite("norbel.inputmethod.Vanto.bench")),
          settings(*domain, p.notifications, p.propertyLists, p.processInfo.processID()),
          typist(settings, typing ? *typing : sender, &p.processInfo) {
        settings.setEnglishContext(englishContext);
        typist.applySettings();
        std::lock_guard<std::mutex> guard(typist.lock);
        typist.isActive = true;
        typist.frontApp = AppProfile::make("com.apple.TextEdit", {}, kOwnBundleID);
        typist.refreshApp();
    }
    std::unique_ptr<UserDefaults> domain;
    Settings settings;
    NullTyping sender;
    Typist typist;
};

std::vector<KeyEvent> keyStream(PortablePlatform& p, std::string_view paragraph = kParagraph) {
    std::vector<KeyEvent> keys;
    for (std::string_view c : graphemes(paragraph)) {
        OwnedEvent e = makeKeyDown(p.keyboardEvents, c);
        if (auto k = decodeKeyEvent(p.keyboardEvents, EventType::KeyDown, e.get()))
            keys.push_back(*k);
    }
    return keys;
}

void latency(PortablePlatform& p) {
    Rig rig(p);
    const auto keys = keyStream(p);
    constexpr int kRounds = 2'000;
    std::vector<double> ns;
    ns.reserve(keys.size() * kRounds);
    for (int round = 0; round < kRounds; ++round) {
        for (const KeyEvent& k : keys) {
            const auto start = std::chrono::steady_clock::now();
            rig.typist.process(k, nullptr);
            const auto end = std::chrono::steady_clock::now();
            ns.push_back(std::chrono::duration<double, std::nano>(end - start).count());
        }
    }
    std::sort(ns.begin(), ns.end());
    const auto at = [&](double q) { return ns[static_cast<std::size_t>(q * (ns.size() - 1))]; };
    std::printf("%-34s %12s\n", "Typist::process, per key", "ns");
    std::printf("%-34s %12.0f\n", "  median", at(0.5));
    std::printf("%-34s %12.0f\n", "  99th percentile", at(0.99));
    std::printf("%-34s %12.0f\n", "  maximum", ns.back());
    std::printf("%-34s %12zu\n", "  keys timed", ns.size());
}

constexpr int kAllocationRounds = 200;

// Heap allocations per key over whole rounds of the paragraph, after one
// round that lets every buffer reach its size.
double allocationsPerKey(PortablePlatform& p, KeyTyping* typing, bool englishContext = false,
                         std::string_view paragraph = kParagraph) {
    Rig rig(p, typing, englishContext);
    const auto keys = keyStream(p, paragraph);
    for (const KeyEvent& k : keys) rig.typist.process(k, nullptr);
    const std::size_t before = bench::allocations();
    for (int round = 0; round < kAllocationRounds; ++round)
        for (const KeyEvent& k : keys) rig.typist.process(k, nullptr);
    const std::size_t made = bench::allocations() - before;
    return static_cast<double>(made) / static_cast<double>(keys.size() * kAllocationRounds);
}

// The same keys straight into an engine, read back after each as the typist
// does: the part of the figures above that is the engine's own.
double engineAllocationsPerKey(PortablePlatform& p) {
    const auto keys = keyStream(p);
    vt_engine* engine = vt_engine_new();
    char text[128];
    std::size_t made = 0;
    for (int round = 0; round <= kAllocationRounds; ++round) {
        const std::size_t before = bench::allocations();
        for (const KeyEvent& k : keys) {
            if (isAsciiLetter(k.characters))
                vt_engine_add_key(engine, static_cast<char32_t>(k.characters[0]));
            else
                vt_engine_push_state(engine);
            vt_engine_text(engine, VT_ENGINE_TEXT_RESULT, text, sizeof text);
        }
        if (round > 0) made += bench::allocations() - before;
    }
    vt_engine_free(engine);
    return static_cast<double>(made) / static_cast<double>(keys.size() * kAllocationRounds);
}

void allocations(PortablePlatform& p) {
    p.keyboardEvents.setRecording(false);
    KeySender keySender(p.keyboardEvents);
    std::printf("%-34s %12s\n", "Typist::process, heap allocations", "per key");
    std::printf("%-34s %12.2f\n", "  sender that keeps nothing", allocationsPerKey(p, nullptr));
    std::printf("%-34s %12.2f\n", "  key sender, portable events",
                allocationsPerKey(p, &keySender));
    std::printf("%-34s %12.2f\n", "  the engine alone, same keys", engineAllocationsPerKey(p));
    // With English in context on; the key sender's figure for English grows
    // with the words it rewrites when they end, not in the typist.
    const struct {
        const char* name;
        bool on;
        std::string_view paragraph;
    } rows[] = {
        {"  on, Vietnamese", true, kParagraph},
        {"  on, English", true, kEnglishParagraph},
        {"  off, English", false, kEnglishParagraph},
    };
    std::printf("%-34s %12s %12s\n", "English in context", "nothing", "key sender");
    for (const auto& row : rows)
        std::printf("%-34s %12.2f %12.2f\n", row.name,
                    allocationsPerKey(p, nullptr, row.on, row.paragraph),
                    allocationsPerKey(p, &keySender, row.on, row.paragraph));
    p.keyboardEvents.setRecording(true);
}

void memory(PortablePlatform& p) {
    Rig rig(p);
    EventTap tap(p.eventTapHost, p.keyboardEvents, p.accessibility, rig.typist,
                 p.keyboardEvents.privateSourceStateID(), nullptr);
    std::size_t at = 0;
    const auto feed = [&](std::size_t events) {
        for (std::size_t i = 0; i < events; ++i) {
            const bool down = i % 2 == 0;
            OwnedEvent e =
                makeKeyDown(p.keyboardEvents, kParagraph.substr(at % kParagraph.size(), 1));
            if (!down) ++at;
            p.keyboardEvents.setIntegerField(e.get(), EventField::SourceStateID, 0);
            tap.callback(down ? EventType::KeyDown : EventType::KeyUp, e.get(), nullptr);
        }
    };
    feed(2'000);
    const auto before = static_cast<long long>(p.processInfo.physicalFootprint());
    feed(1'000'000);
    const auto after = static_cast<long long>(p.processInfo.physicalFootprint());
    std::printf("%-34s %12s\n", "tap path, 1,000,000 events", "KB");
    std::printf("%-34s %12lld\n", "  private dirty memory before", before / 1024);
    std::printf("%-34s %12lld\n", "  growth", (after - before) / 1024);
}

} // namespace

int main() {
    PortablePlatform platform;
    latency(platform);
    allocations(platform);
    memory(platform);
    platform.defaults.removePersistentDomain("norbel.inputmethod.Vanto.bench");
    return 0;
}
