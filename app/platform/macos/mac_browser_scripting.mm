// Scripting other applications with NSAppleScript: compiled once, run on
// the worker thread that asks, to read the address of a browser's page.
#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"

#import <Foundation/Foundation.h>

#include <memory>
#include <optional>
#include <string>

namespace vanto::mac {

namespace {

// Only a text answer counts: a number or a list coerced to text would be a
// made-up address, and "missing value" (a tab with no page) is no address.
bool isText(NSAppleEventDescriptor* descriptor) {
    switch (descriptor.descriptorType) {
    case typeUnicodeText:
    case typeUTF8Text:
    case typeUTF16ExternalRepresentation:
    case typeChar:
    case typeStyledText:
    case typeIntlText:
        return true;
    default:
        return false;
    }
}

class MacScript final : public BrowserScripting::Script {
  public:
    explicit MacScript(NSAppleScript* script) : script_(script) {}

    std::optional<std::string> run() override {
        @autoreleasepool {
            NSDictionary<NSString*, id>* error = nil;
            NSAppleEventDescriptor* result = [script_ executeAndReturnError:&error];
            if (!result || error || !isText(result)) return std::nullopt;
            return utf8(result.stringValue);
        }
    }

  private:
    NSAppleScript* script_;
};

// No hop to the main thread: AppleScript has been thread-safe since Mac OS X
// 10.6 (its own editor has run scripts on background threads since then), so
// a script may be compiled and run on any thread as long as one thread uses
// it at a time, which the serial address queue guarantees. Staying on the
// worker is what keeps the main thread free while a browser is slow to
// answer, or while the system asks the user whether Vanto may control it.
class MacBrowserScripting final : public BrowserScripting {
  public:
    std::unique_ptr<Script> compile(const std::string& source) override {
        @autoreleasepool {
            NSString* code = [[NSString alloc] initWithBytes:source.data()
                                                      length:source.size()
                                                    encoding:NSUTF8StringEncoding];
            if (!code) return nullptr;
            NSAppleScript* script = [[NSAppleScript alloc] initWithSource:code];
            NSDictionary<NSString*, id>* error = nil;
            if (!script || ![script compileAndReturnError:&error]) return nullptr;
            return std::make_unique<MacScript>(script);
        }
    }
};

} // namespace

std::unique_ptr<BrowserScripting> makeBrowserScripting() {
    return std::make_unique<MacBrowserScripting>();
}

} // namespace vanto::mac
