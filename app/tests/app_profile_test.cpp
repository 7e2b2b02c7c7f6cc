#include "pipeline/app_profile.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

TEST(AppProfile, BuiltInListsAndUserRules) {
    struct Case {
        const char* bundleID;
        std::vector<Exclusion> exclusions;
        bool ignored, specialBackspace, directPostTap, suggestsInline;
    };
    const std::vector<Exclusion> none;
    const Case cases[] = {
        {"com.apple.TextEdit", none, false, true, false, false},
        {"com.apple.ScreenContinuity", none, true, true, false, false},
        {"com.p5sys.jump.mac.viewer.web", none, true, true, false, false},
        {"com.p5sys.jump.mac.viewerHelper", none, true, true, false, false},
        {"com.parallels.desktop.console", none, true, true, false, false},
        {"com.adobe.Photoshop", none, false, false, true, false},
        {"com.adobe", none, false, true, false, false},
        {"COM.APPLE.TERMINAL", none, false, false, false, false},
        {"com.apple.Spotlight", none, false, true, false, true},
        {"com.apple.spotlight", none, false, true, false, false}, // exact, unlike the lists
        // Address rules are for the browser check, not for applications.
        {"com.google.Chrome", {{"https://*.google.com/*", true}}, false, true, false, false},
        {"com.adobe.Photoshop", {{"com.adobe.*", true}}, true, false, true, false},
        {"com.apple.TextEdit", {{"COM.APPLE.TEXTEDIT", true}}, true, true, false, false},
        {"com.apple.TextEdit", {{"com.apple.TextEdit", false}}, false, true, false, false},
        {"norbel.inputmethod.Vanto", none, true, true, false, false},
        {"NORBEL.INPUTMETHOD.VANTO", none, false, true, false, false},
    };
    for (const Case& c : cases) {
        const AppProfile p = AppProfile::make(c.bundleID, c.exclusions, kOwnBundleID);
        EXPECT_EQ(p.bundleID, c.bundleID);
        EXPECT_EQ(p.ignored, c.ignored) << c.bundleID;
        EXPECT_EQ(p.specialBackspace, c.specialBackspace) << c.bundleID;
        EXPECT_EQ(p.directPostTap, c.directPostTap) << c.bundleID;
        EXPECT_EQ(p.suggestsInline, c.suggestsInline) << c.bundleID;
    }
}

TEST(AppProfile, OwnIdentifierIsTheCallers) {
    EXPECT_TRUE(AppProfile::make("org.example.Vanto", {}, "org.example.Vanto").ignored);
    EXPECT_FALSE(AppProfile::make(kOwnBundleID, {}, "org.example.Vanto").ignored);
}

} // namespace
} // namespace vanto
