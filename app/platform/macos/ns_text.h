// Text between the core (UTF-8 in std::string) and Foundation (NSString),
// for the Objective-C++ adapters.
#pragma once

#import <Foundation/Foundation.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vanto::mac {

// The NSString holding exactly text; nil when text is not UTF-8 or would not
// come back byte for byte (Foundation drops a leading byte-order mark).
inline NSString* makeString(std::string_view text) {
    if (text.empty()) return @"";
    NSString* string = [[NSString alloc] initWithBytes:text.data()
                                                length:text.size()
                                              encoding:NSUTF8StringEncoding];
    NSData* back = [string dataUsingEncoding:NSUTF8StringEncoding allowLossyConversion:NO];
    if (!back || back.length != text.size() ||
        std::memcmp(back.bytes, text.data(), text.size()) != 0)
        return nil;
    return string;
}

// The same, and nil for a text holding NUL: keys, paths, arguments and
// stored texts end at the first NUL somewhere on their way.
inline NSString* makeStringWithoutNul(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return nil;
    return makeString(text);
}

// For texts only shown to the user: an empty text rather than nil, so that a
// broken label never shifts the buttons or rows around it.
inline NSString* displayString(std::string_view text) {
    NSString* string = makeString(text);
    return string ? string : @"";
}

// The UTF-8 of string; nothing for nil or a string with unpaired surrogates.
// Embedded NULs are kept (UTF8String would cut the text there).
inline std::optional<std::string> utf8(NSString* string) {
    if (!string) return std::nullopt;
    NSData* data = [string dataUsingEncoding:NSUTF8StringEncoding allowLossyConversion:NO];
    if (!data) return std::nullopt;
    return std::string(static_cast<const char*>(data.bytes), data.length);
}

// The file-system form of a path; empty for an empty path or one that has
// none. Decomposed forms can be longer than the string's UTF-8, so the
// buffer grows until it fits.
inline std::filesystem::path pathFrom(NSString* path) {
    if (path.length == 0) return {};
    for (NSUInteger size = PATH_MAX; size <= (NSUInteger{1} << 20); size *= 4) {
        std::string buffer(size, '\0');
        if ([path getFileSystemRepresentation:buffer.data() maxLength:size])
            return std::filesystem::path(buffer.c_str());
    }
    return {};
}

} // namespace vanto::mac
