// Property list serialisation as the macOS SDK declares it. GNUstep makes
// the serialisation format a plain NSUInteger; on macOS it is an NS_ENUM,
// to which no integer converts in C++ without a cast, so that a format
// variable set to 0 compiles against GNUstep and fails on a Mac. GNUstep's
// declarations are read here under other names, and the SDK's shapes are
// declared in their place: the format enum and the class methods that take
// or report a format. The mutability, read and write options are plain
// NSUInteger in C++ on both.
#pragma once

#define NSPropertyListFormat VantoCheckGSPropertyListFormat
#define NSPropertyListOpenStepFormat VantoCheckGSPropertyListOpenStepFormat
#define NSPropertyListXMLFormat_v1_0 VantoCheckGSPropertyListXMLFormat_v1_0
#define NSPropertyListBinaryFormat_v1_0 VantoCheckGSPropertyListBinaryFormat_v1_0
#define NSPropertyListSerialization VantoCheckGSPropertyListSerialization
#include_next <Foundation/NSPropertyList.h>
#undef NSPropertyListFormat
#undef NSPropertyListOpenStepFormat
#undef NSPropertyListXMLFormat_v1_0
#undef NSPropertyListBinaryFormat_v1_0
#undef NSPropertyListSerialization

// The values of Core Foundation's CFPropertyListFormat.
typedef NS_ENUM(NSUInteger, NSPropertyListFormat) {
    NSPropertyListOpenStepFormat = 1,
    NSPropertyListXMLFormat_v1_0 = 100,
    NSPropertyListBinaryFormat_v1_0 = 200,
};

@interface NSPropertyListSerialization : NSObject
+ (BOOL)propertyList:(id)plist isValidForFormat:(NSPropertyListFormat)format;
// nil on failure, with error set.
+ (NSData*)dataWithPropertyList:(id)plist
                         format:(NSPropertyListFormat)format
                        options:(NSPropertyListWriteOptions)opt
                          error:(out NSError**)error;
+ (NSInteger)writePropertyList:(id)plist
                      toStream:(NSOutputStream*)stream
                        format:(NSPropertyListFormat)format
                       options:(NSPropertyListWriteOptions)opt
                         error:(out NSError**)error;
// nil on failure, with error set; format (may be NULL) reports the format read.
+ (id)propertyListWithData:(NSData*)data
                   options:(NSPropertyListReadOptions)opt
                    format:(NSPropertyListFormat*)format
                     error:(out NSError**)error;
+ (id)propertyListWithStream:(NSInputStream*)stream
                     options:(NSPropertyListReadOptions)opt
                      format:(NSPropertyListFormat*)format
                       error:(out NSError**)error;
// Deprecated since macOS 10.10.
+ (NSData*)dataFromPropertyList:(id)plist
                         format:(NSPropertyListFormat)format
               errorDescription:(out NSString**)errorString
    __attribute__((deprecated("use dataWithPropertyList:format:options:error:")));
+ (id)propertyListFromData:(NSData*)data
          mutabilityOption:(NSPropertyListMutabilityOptions)opt
                    format:(NSPropertyListFormat*)format
          errorDescription:(out NSString**)errorString
    __attribute__((deprecated("use propertyListWithData:options:format:error:")));
@end
