// Foundation additions for the shell adapters: Apple event descriptors
// and NSAppleScript, with the descriptor types NSAppleEventDescriptor.h
// brings along from the Apple Event Manager on macOS.
#pragma once

typedef FourCharCode ResType;
typedef ResType DescType;

// Descriptor types of text (AEDataModel.h and AERegistry.h), anonymous
// enums of type DescType there as here.
enum : DescType {
    typeChar = 'TEXT',
    typeUnicodeText = 'utxt',
    typeUTF8Text = 'utf8',
    typeUTF16ExternalRepresentation = 'ut16',
    typeStyledText = 'STXT',
    typeIntlText = 'itxt',
};
enum : DescType {
    typeNull = 'null',
    typeType = 'type',
};

@interface NSAppleEventDescriptor (VantoCheck)
@property (readonly) DescType descriptorType;
// The contents coerced to text; nil when they cannot be.
@property (readonly, copy) NSString* stringValue;
@end

FOUNDATION_EXPORT NSString* const NSAppleScriptErrorMessage;
FOUNDATION_EXPORT NSString* const NSAppleScriptErrorNumber;
FOUNDATION_EXPORT NSString* const NSAppleScriptErrorBriefMessage;

@interface NSAppleScript (VantoCheck)
// nil when the source cannot be read.
- (instancetype)initWithSource:(NSString*)source;
@property (readonly, copy) NSString* source;
@property (readonly, getter=isCompiled) BOOL compiled;
- (BOOL)compileAndReturnError:(NSDictionary<NSString*, id>**)errorInfo;
// nil on failure, with errorInfo set.
- (NSAppleEventDescriptor*)executeAndReturnError:(NSDictionary<NSString*, id>**)errorInfo;
@end
