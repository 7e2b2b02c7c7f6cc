// AppKit additions for the ui adapters (the helper application and its
// settings window): Auto Layout anchors, stack views, the convenience
// constructors of controls, system symbols, table styles, sheets and the
// delegate protocols GNUstep lacks, declared as the macOS SDK declares them
// (macOS 10.6 to 11; nullability left out, as in GNUstep's headers).
#pragma once

// ---- Auto Layout (macOS 10.7, anchors 10.11) ----

@interface NSView (VantoCheckUI)
@property BOOL translatesAutoresizingMaskIntoConstraints;
@property (readonly, strong) NSLayoutXAxisAnchor* leadingAnchor;
@property (readonly, strong) NSLayoutXAxisAnchor* trailingAnchor;
@property (readonly, strong) NSLayoutXAxisAnchor* leftAnchor;
@property (readonly, strong) NSLayoutXAxisAnchor* rightAnchor;
@property (readonly, strong) NSLayoutYAxisAnchor* topAnchor;
@property (readonly, strong) NSLayoutYAxisAnchor* bottomAnchor;
@property (readonly, strong) NSLayoutDimension* widthAnchor;
@property (readonly, strong) NSLayoutDimension* heightAnchor;
@property (readonly, strong) NSLayoutXAxisAnchor* centerXAnchor;
@property (readonly, strong) NSLayoutYAxisAnchor* centerYAnchor;
@property (readonly, strong) NSLayoutYAxisAnchor* firstBaselineAnchor;
@property (readonly, strong) NSLayoutYAxisAnchor* lastBaselineAnchor;
- (NSLayoutPriority)contentHuggingPriorityForOrientation:
    (NSLayoutConstraintOrientation)orientation;
- (void)setContentHuggingPriority:(NSLayoutPriority)priority
                   forOrientation:(NSLayoutConstraintOrientation)orientation;
- (NSLayoutPriority)contentCompressionResistancePriorityForOrientation:
    (NSLayoutConstraintOrientation)orientation;
- (void)setContentCompressionResistancePriority:(NSLayoutPriority)priority
                                 forOrientation:(NSLayoutConstraintOrientation)orientation;
// The NSAccessibility protocol's label (macOS 10.10), which every view has.
@property (copy) NSString* accessibilityLabel;
@end

@interface NSLayoutConstraint (VantoCheckUI)
@property (getter=isActive) BOOL active;
@end

// The SDK's anchors are generic over their axis (NSLayoutAnchor<AnchorType>),
// so that an x-axis anchor is never constrained to a y-axis one; GNUstep's
// take any anchor. These narrow them the same way, and warn, as the SDK does,
// when the constraint made is dropped. (NSLayoutDimension's ...ToConstant:
// and ...multiplier: forms are GNUstep's own declarations, which a category
// cannot amend: those lack the warning here.)
@interface NSLayoutXAxisAnchor (VantoCheckUI)
- (NSLayoutConstraint*)constraintEqualToAnchor:(NSLayoutXAxisAnchor*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintGreaterThanOrEqualToAnchor:(NSLayoutXAxisAnchor*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintLessThanOrEqualToAnchor:(NSLayoutXAxisAnchor*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintEqualToAnchor:(NSLayoutXAxisAnchor*)anchor
                                      constant:(CGFloat)c
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintGreaterThanOrEqualToAnchor:(NSLayoutXAxisAnchor*)anchor
                                                   constant:(CGFloat)c
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintLessThanOrEqualToAnchor:(NSLayoutXAxisAnchor*)anchor
                                                constant:(CGFloat)c
    __attribute__((warn_unused_result));
@end

@interface NSLayoutYAxisAnchor (VantoCheckUI)
- (NSLayoutConstraint*)constraintEqualToAnchor:(NSLayoutYAxisAnchor*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintGreaterThanOrEqualToAnchor:(NSLayoutYAxisAnchor*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintLessThanOrEqualToAnchor:(NSLayoutYAxisAnchor*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintEqualToAnchor:(NSLayoutYAxisAnchor*)anchor
                                      constant:(CGFloat)c
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintGreaterThanOrEqualToAnchor:(NSLayoutYAxisAnchor*)anchor
                                                   constant:(CGFloat)c
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintLessThanOrEqualToAnchor:(NSLayoutYAxisAnchor*)anchor
                                                constant:(CGFloat)c
    __attribute__((warn_unused_result));
@end

@interface NSLayoutDimension (VantoCheckUI)
- (NSLayoutConstraint*)constraintEqualToAnchor:(NSLayoutDimension*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintGreaterThanOrEqualToAnchor:(NSLayoutDimension*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintLessThanOrEqualToAnchor:(NSLayoutDimension*)anchor
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintEqualToAnchor:(NSLayoutDimension*)anchor
                                      constant:(CGFloat)c
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintGreaterThanOrEqualToAnchor:(NSLayoutDimension*)anchor
                                                   constant:(CGFloat)c
    __attribute__((warn_unused_result));
- (NSLayoutConstraint*)constraintLessThanOrEqualToAnchor:(NSLayoutDimension*)anchor
                                                constant:(CGFloat)c
    __attribute__((warn_unused_result));
@end

// ---- Stack views (macOS 10.9; arranged subviews and distribution 10.11) ----

typedef NS_ENUM(NSInteger, NSStackViewGravity) {
    NSStackViewGravityTop = 1,
    NSStackViewGravityLeading = 1,
    NSStackViewGravityCenter = 2,
    NSStackViewGravityBottom = 3,
    NSStackViewGravityTrailing = 3,
};

typedef NS_ENUM(NSInteger, NSStackViewDistribution) {
    NSStackViewDistributionGravityAreas = -1,
    NSStackViewDistributionFill = 0,
    NSStackViewDistributionFillEqually,
    NSStackViewDistributionFillProportionally,
    NSStackViewDistributionEqualSpacing,
    NSStackViewDistributionEqualCentering,
};

typedef float NSStackViewVisibilityPriority;
static const NSStackViewVisibilityPriority NSStackViewVisibilityPriorityMustHold = 1000;
static const NSStackViewVisibilityPriority NSStackViewVisibilityPriorityDetachOnlyIfNecessary = 900;
static const NSStackViewVisibilityPriority NSStackViewVisibilityPriorityNotVisible = 0;

@protocol NSStackViewDelegate;

@interface NSStackView : NSView
+ (instancetype)stackViewWithViews:(NSArray<NSView*>*)views;
@property (weak) id<NSStackViewDelegate> delegate;
@property NSUserInterfaceLayoutOrientation orientation;
@property NSLayoutAttribute alignment;
@property NSEdgeInsets edgeInsets;
@property NSStackViewDistribution distribution;
@property CGFloat spacing;
- (void)setCustomSpacing:(CGFloat)spacing afterView:(NSView*)view;
- (CGFloat)customSpacingAfterView:(NSView*)view;
@property BOOL detachesHiddenViews;
@property (readonly, copy) NSArray<__kindof NSView*>* arrangedSubviews;
- (void)addArrangedSubview:(NSView*)view;
- (void)insertArrangedSubview:(NSView*)view atIndex:(NSInteger)index;
- (void)removeArrangedSubview:(NSView*)view;
- (void)addView:(NSView*)view inGravity:(NSStackViewGravity)gravity;
- (void)insertView:(NSView*)view
           atIndex:(NSUInteger)index
         inGravity:(NSStackViewGravity)gravity;
- (void)removeView:(NSView*)view;
- (NSArray<__kindof NSView*>*)viewsInGravity:(NSStackViewGravity)gravity;
- (void)setViews:(NSArray<NSView*>*)views inGravity:(NSStackViewGravity)gravity;
@property (readonly, copy) NSArray<__kindof NSView*>* views;
- (void)setVisibilityPriority:(NSStackViewVisibilityPriority)priority forView:(NSView*)view;
- (NSLayoutPriority)huggingPriorityForOrientation:(NSLayoutConstraintOrientation)orientation;
- (void)setHuggingPriority:(NSLayoutPriority)priority
            forOrientation:(NSLayoutConstraintOrientation)orientation;
@end

@protocol NSStackViewDelegate <NSObject>
@optional
- (void)stackView:(NSStackView*)stackView willDetachViews:(NSArray<NSView*>*)views;
- (void)stackView:(NSStackView*)stackView didReattachViews:(NSArray<NSView*>*)views;
@end

// ---- Controls ----

@interface NSControl (VantoCheckUI)
@property NSLineBreakMode lineBreakMode; // 10.10
@end

@interface NSButton (VantoCheckUI)
// macOS 10.12: buttons of the system's standard look, ready to use.
+ (instancetype)buttonWithTitle:(NSString*)title
                          image:(NSImage*)image
                         target:(id)target
                         action:(SEL)action;
+ (instancetype)buttonWithTitle:(NSString*)title target:(id)target action:(SEL)action;
+ (instancetype)buttonWithImage:(NSImage*)image target:(id)target action:(SEL)action;
+ (instancetype)checkboxWithTitle:(NSString*)title target:(id)target action:(SEL)action;
+ (instancetype)radioButtonWithTitle:(NSString*)title target:(id)target action:(SEL)action;
@property (copy) NSColor* contentTintColor; // 10.14
@end

@interface NSTextField (VantoCheckUI)
// macOS 10.12: a non-editable, non-selectable label; one that wraps; and an
// editable field.
+ (instancetype)labelWithString:(NSString*)stringValue;
+ (instancetype)wrappingLabelWithString:(NSString*)stringValue;
+ (instancetype)labelWithAttributedString:(NSAttributedString*)attributedStringValue;
+ (instancetype)textFieldWithString:(NSString*)stringValue;
@property (copy) NSString* placeholderString;           // 10.10
@property CGFloat preferredMaxLayoutWidth;               // 10.8
@property NSInteger maximumNumberOfLines;                // 10.11
@end

@protocol NSSearchFieldDelegate <NSTextFieldDelegate>
@optional
- (void)searchFieldDidStartSearching:(NSSearchField*)sender; // 10.11
- (void)searchFieldDidEndSearching:(NSSearchField*)sender;
@end

@interface NSSearchField (VantoCheckUI)
@property BOOL sendsSearchStringImmediately;
@property BOOL sendsWholeSearchString;
@end

// ---- Images and colours ----

@interface NSImage (VantoCheckUI)
// macOS 11: an image of the system's symbol set; nil for an unknown name.
+ (instancetype)imageWithSystemSymbolName:(NSString*)name
                 accessibilityDescription:(NSString*)description;
@end

@interface NSImageView (VantoCheckUI)
+ (instancetype)imageViewWithImage:(NSImage*)image; // 10.12
@property (copy) NSColor* contentTintColor;         // 10.14
@end

@interface NSColor (VantoCheckUI)
@property (class, strong, readonly) NSColor* linkColor;          // 10.10
@property (class, strong, readonly) NSColor* controlAccentColor; // 10.14
@property (class, strong, readonly) NSColor* separatorColor;     // 10.14
@end

// ---- Tables and tab views ----

typedef NS_ENUM(NSInteger, NSTableViewStyle) {
    NSTableViewStyleAutomatic,
    NSTableViewStyleFullWidth,
    NSTableViewStyleInset,
    NSTableViewStyleSourceList,
    NSTableViewStylePlain,
};

@interface NSTableView (VantoCheckUI)
@property NSTableViewStyle style; // 11.0
@property (readonly) NSTableViewStyle effectiveStyle;
@property BOOL usesAutomaticRowHeights; // 10.13
@end

@protocol NSTabViewDelegate <NSObject>
@optional
- (BOOL)tabView:(NSTabView*)tabView shouldSelectTabViewItem:(NSTabViewItem*)tabViewItem;
- (void)tabView:(NSTabView*)tabView willSelectTabViewItem:(NSTabViewItem*)tabViewItem;
- (void)tabView:(NSTabView*)tabView didSelectTabViewItem:(NSTabViewItem*)tabViewItem;
- (void)tabViewDidChangeNumberOfTabViewItems:(NSTabView*)tabView;
@end

// ---- Windows and the application ----

@interface NSWindow (VantoCheckUI)
// macOS 10.9: document-modal sheets owned by the window.
- (void)beginSheet:(NSWindow*)sheetWindow
    completionHandler:(void (^)(NSModalResponse returnCode))handler;
- (void)beginCriticalSheet:(NSWindow*)sheetWindow
         completionHandler:(void (^)(NSModalResponse returnCode))handler;
- (void)endSheet:(NSWindow*)sheetWindow;
- (void)endSheet:(NSWindow*)sheetWindow returnCode:(NSModalResponse)returnCode;
@end

@interface NSApplication (VantoCheckUI)
// macOS 10.6: NO when the policy cannot be set.
- (BOOL)setActivationPolicy:(NSApplicationActivationPolicy)activationPolicy;
- (NSApplicationActivationPolicy)activationPolicy;
@end
