// Scenario tests: the tracked text follows its field. Keys go through the
// event tap of a launched shell into the Typist, and whenever the field,
// the focus or the caret changes behind the keys' back, no later key may
// rewrite text that is no longer on screen.
#include "settings/unicode.h"
#include "shell_rig.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

namespace vanto {
namespace {

using testing::app;
using testing::ShellRig;
using Verdict = EventTapHost::Verdict;

constexpr int kSpotlightPID = 77;
constexpr const char* kDocument = "document";

// The user at the keyboard of a launched shell. Keys pass through the tap;
// a key the tap lets through reaches the field in front; a field the focus
// leaves keeps its text until the focus comes back.
class Desk {
  public:
    explicit Desk(ShellRig& rig) : rig_(rig) {}

    // One key per Unicode scalar, so that the two halves of a flag are two
    // keys, as on a keyboard; "<" Backspace, "~" Escape.
    void keys(std::string_view script) {
        for (std::size_t at = 0, next = 0; at < script.size(); at = next) {
            nextScalar(script, next);
            press(script.substr(at, next - at), 0, true);
        }
    }
    // A key with Command held: the application acts on it, the field gets
    // no text.
    void command(std::string_view c) { press(c, ModifierFlags::Command, false); }
    // Typed while the system hands the tap nothing.
    void unseen(std::string_view text) { rig_.screen.screen.units += toUtf16(text); }
    void click() {
        PlatformEvent e = PortableKeyboardEvents::userKey(EventType::LeftMouseDown, 0, u"");
        rig_.host.deliver(EventType::LeftMouseDown, &e);
    }
    // The focus moves to another field; its text is what it was when left.
    void enter(const std::string& field) {
        fields_[current_] = rig_.screen.screen.units;
        rig_.screen.screen.units = fields_[field];
        current_ = field;
    }
    void secureInput(int holder) {
        rig_.secureInput.setHolder(holder);
        rig_.loop.advance(AppDelegate::kSecureInputPollInterval);
    }

  private:
    void press(std::string_view c, std::uint64_t flags, bool typesText) {
        for (const EventType type : {EventType::KeyDown, EventType::KeyUp}) {
            OwnedEvent e = makeKeyDown(rig_.events, c);
            // From the keyboard, not from Vanto's own event source.
            rig_.events.setIntegerField(e.get(), EventField::SourceStateID, 0);
            rig_.events.setFlags(e.get(), rig_.events.flags(e.get()) | flags);
            const Verdict verdict = rig_.host.deliver(type, e.get());
            if (type == EventType::KeyDown && verdict == Verdict::Pass && typesText)
                rig_.screen.screen.applyKey(keyCodeForCharacter(c), c);
        }
    }

    ShellRig& rig_;
    std::string current_ = kDocument;
    std::map<std::string, std::u16string> fields_;
};

TEST(TrackedField, FollowsTheFieldOnScreen) {
    using Step = std::function<void(Desk&, ShellRig&)>;
    const auto keys = [](std::string script) {
        return Step([script](Desk& d, ShellRig&) { d.keys(script); });
    };
    const auto command = [](std::string c) {
        return Step([c](Desk& d, ShellRig&) { d.command(c); });
    };
    const auto enter = [](std::string field) {
        return Step([field](Desk& d, ShellRig&) { d.enter(field); });
    };
    const Step openSearch = [](Desk& d, ShellRig& r) {
        r.client.focus(kSpotlightPID, true);
        d.enter("search");
    };
    const Step hideSearch = [](Desk& d, ShellRig& r) {
        r.client.hide(kSpotlightPID);
        d.enter(kDocument);
    };
    const Step toNotes = [](Desk& d, ShellRig& r) {
        r.workspace.activate(app("com.apple.Notes", 11));
        d.enter("notes");
    };
    const auto secureInput = [](int holder) {
        return Step([holder](Desk& d, ShellRig&) { d.secureInput(holder); });
    };
    const Step unseen = [](Desk& d, ShellRig&) { d.unseen("abc"); };
    const Step click = [](Desk& d, ShellRig&) { d.click(); };

    struct Case {
        const char* name;
        std::vector<Step> steps;
        const char* field; // the text of the field in front at the end
        std::optional<BeforeDeleting> lastBefore = std::nullopt;
    };
    const std::string forty(40, '<');
    const Case cases[] = {
        {"Escape closes a find bar",
         {keys("hello"), command("f"), enter("find"), keys("vieetj ~"), enter(kDocument),
          keys("<s")},
         "hells"},
        {"Escape closes the search overlay",
         {keys("hello"), command(" "), openSearch, keys("vieetj ~"), hideSearch, keys("<s")},
         "hells"},
        {"the search overlay hides without a key",
         {keys("hello"), command(" "), openSearch, keys("vieetj "), hideSearch, keys("<s")},
         "hells"},
        {"secure input in between",
         {keys("vieetj "), secureInput(123), unseen, secureInput(0), keys("<<s")},
         "việt as"},
        {"a click ends \"no word here\"", {keys("@"), click, keys("vieetj")}, "@việt"},
        {"another application ends \"no word here\"", {keys("@"), toNotes, keys("vieetj")}, "việt"},
        {"Backspaces that pass do not lower the key count",
         {keys(forty), toNotes, keys("bbbb cccc gggg hhhh kkkk llll mmmm aa")},
         "bbbb cccc gggg hhhh kkkk llll mmmm â",
         BeforeDeleting::nothing},
        {"another application starts the key count again",
         {keys(std::string(30, ' ')), toNotes, keys("aa")},
         "â",
         BeforeDeleting::invisibleCharacter},
        {"a space, then Backspaces into the word", {keys("vieetj <<<")}, "viê"},
        {"a flag is one character", {keys("vieetj \xf0\x9f\x87\xbb\xf0\x9f\x87\xb3<<<<")}, "viê"},
        {"a flag right after the word", {keys("vieetj\xf0\x9f\x87\xbb\xf0\x9f\x87\xb3<<<")}, "viê"},
        {"a thumb with a skin tone is one character",
         {keys("vieetj \xf0\x9f\x91\x8d\xf0\x9f\x8f\xbb<<<")},
         "viêt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShellRig rig;
        rig.workspace.setRunningApplications({app("com.apple.Spotlight", kSpotlightPID, false)});
        rig.launch();
        ASSERT_TRUE(rig.host.waitForTap(5));
        Desk desk(rig);
        for (const Step& step : c.steps) step(desk, rig);
        EXPECT_EQ(rig.text(), c.field);
        if (c.lastBefore) {
            ASSERT_FALSE(rig.screen.requests.empty());
            EXPECT_EQ(rig.screen.requests.back().before, *c.lastBefore);
        }
    }
}

} // namespace
} // namespace vanto
