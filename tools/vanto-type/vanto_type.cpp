// vanto-type: type through the real keystroke pipeline into an in-memory
// text field, from a terminal.
//
//   echo "tieengs vieetj" | vanto-type          one field per line, printed
//   vanto-type                                   on a terminal: live typing
//
// Options: --vni (digit keys), --no-spell, --alt-tone ("hoà, thuỷ"),
// --quick-w, --z, --bs-char (Backspace deletes a whole character),
// --english-context / --no-english-context (English words decided by the
// sentence; the app's default otherwise),
// --app BUNDLE_ID (the application typed into), --raw ("<" and "~" are
// characters, not Backspace and Escape).
#include "pipeline/app_profile.h"
#include "pipeline/screen.h"
#include "pipeline/typist.h"
#include "platform/portable/portable_platform.h"
#include "settings/settings.h"
#include "settings/unicode.h"
#include "setup/key_feed.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <termios.h>
#include <unistd.h>

using namespace vanto;

namespace {

constexpr const char* kUsage =
    "usage: vanto-type [--vni] [--no-spell] [--alt-tone] [--quick-w] [--z] [--bs-char]\n"
    "                  [--english-context | --no-english-context] [--app BUNDLE_ID] [--raw]\n";
// The tool keeps its options in a domain of its own, never the user's.
constexpr const char* kDomain = "norbel.inputmethod.Vanto.vanto-type";

struct Options {
    bool telex = true, spellCheck = true, stdTone = true, telexW = false, telexZ = false;
    bool bsChar = false, raw = false, englishContext = kEnglishContextDefault;
    std::string app = "com.apple.TextEdit";
};

// The switches: each sets one option to a fixed value.
struct Flag {
    std::string_view name;
    bool Options::*option;
    bool value;
};
constexpr Flag kFlags[] = {
    {"--vni", &Options::telex, false},
    {"--no-spell", &Options::spellCheck, false},
    {"--alt-tone", &Options::stdTone, false},
    {"--quick-w", &Options::telexW, true},
    {"--z", &Options::telexZ, true},
    {"--bs-char", &Options::bsChar, true},
    {"--english-context", &Options::englishContext, true},
    {"--no-english-context", &Options::englishContext, false},
    {"--raw", &Options::raw, true},
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                       [&](const Flag& f) { return f.name == a; });
        if (flag != std::end(kFlags)) {
            o.*flag->option = flag->value;
        } else if (a == "--app" && i + 1 < argc) {
            o.app = argv[++i];
        } else {
            std::fprintf(stderr, "vanto-type: unknown option '%s'\n%s", a.c_str(), kUsage);
            return false;
        }
    }
    return true;
}

// One field: a settings domain, the screen and a typist writing into it.
class Field {
  public:
    Field(PortablePlatform& p, const Options& o) : p_(p) {
        domain_ = p.platform().defaults.suite(kDomain);
        settings_ =
            std::make_unique<Settings>(*domain_, p.platform().notifications,
                                       p.platform().propertyLists, p.processInfo.processID());
        settings_->setTelex(o.telex);
        settings_->setSpellCheck(o.spellCheck);
        settings_->setStdTone(o.stdTone);
        settings_->setTelexW(o.telexW);
        settings_->setTelexZ(o.telexZ);
        settings_->setBackspaceDeletesChar(o.bsChar);
        settings_->setEnglishContext(o.englishContext);
        typist_ = std::make_unique<Typist>(*settings_, screen_, &p.processInfo);
        std::lock_guard<std::mutex> guard(typist_->lock);
        typist_->isActive = true;
        typist_->frontApp = AppProfile::make(o.app, {}, kOwnBundleID);
        typist_->refreshApp();
        literal_ = o.raw;
    }

    void type(std::string_view keys) {
        feedText(p_.keyboardEvents, *typist_, &screen_, keys, true, literal_);
    }
    // Backspace ("<") or Escape ("~") whatever the --raw option says.
    void special(std::string_view key) {
        feedText(p_.keyboardEvents, *typist_, &screen_, key, true, false);
    }
    std::string text() const { return screen_.text(); }
    void clear() {
        std::lock_guard<std::mutex> guard(typist_->lock);
        typist_->reset();
        screen_.units.clear();
    }

  private:
    PortablePlatform& p_;
    std::unique_ptr<UserDefaults> domain_;
    std::unique_ptr<Settings> settings_;
    Screen screen_;
    std::unique_ptr<Typist> typist_;
    bool literal_ = false;
};

int piped(PortablePlatform& p, const Options& o) {
    std::string line;
    while (std::getline(std::cin, line)) {
        Field field(p, o);
        field.type(line);
        std::printf("%s\n", field.text().c_str());
    }
    return 0;
}

// Live typing: raw terminal input, the field redrawn after every key.
int interactive(PortablePlatform& p, const Options& o) {
    termios saved{};
    tcgetattr(STDIN_FILENO, &saved);
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    std::printf("Type; Backspace and Escape work. Enter starts a new line, Ctrl-D quits.\n> ");
    std::fflush(stdout);
    Field field(p, o);
    std::string pending; // bytes of an incomplete UTF-8 sequence
    unsigned char byte;
    while (read(STDIN_FILENO, &byte, 1) == 1 && byte != 4) {
        if (byte == '\n' || byte == '\r') {
            std::printf("\n> ");
            field.clear();
        } else if (byte == 0x7f || byte == 0x08) {
            field.special("<");
        } else if (byte == 0x1b) {
            field.special("~");
        } else {
            pending += static_cast<char>(byte);
            const auto lead = static_cast<unsigned char>(pending[0]);
            const std::size_t need = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            if (pending.size() < need) continue;
            field.type(pending);
            pending.clear();
        }
        std::printf("\r\x1b[K> %s", field.text().c_str());
        std::fflush(stdout);
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::printf("\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 2;
    PortablePlatform platform;
    const int status =
        isatty(STDIN_FILENO) ? interactive(platform, options) : piped(platform, options);
    platform.platform().defaults.removePersistentDomain(kDomain);
    return status;
}
