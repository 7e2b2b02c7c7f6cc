// Ownership of Core Foundation objects: whatever a ...Create... or ...Copy...
// call returns goes straight into a CFRef made with adopt(); an object only
// borrowed (a ...Get... result) and kept beyond the call goes into one made
// with retain(). Either way it is released exactly once, when the holder
// ends. Holders move but never copy.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

namespace vanto::mac {

template <typename T> class CFRef {
  public:
    CFRef() = default;
    // Takes over the reference the caller owns (Create and Copy results).
    static CFRef adopt(T object) { return CFRef(object); }
    // Adds a reference of its own to a borrowed object.
    static CFRef retain(T object) {
        if (object) CFRetain(object);
        return CFRef(object);
    }

    CFRef(const CFRef&) = delete;
    CFRef& operator=(const CFRef&) = delete;
    CFRef(CFRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    CFRef& operator=(CFRef&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ~CFRef() { reset(); }

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset() {
        if (object_) CFRelease(object_);
        object_ = nullptr;
    }
    // Gives the reference up to a caller that takes ownership of it (for
    // example CFBridgingRelease, handing it to ARC).
    T release() { return std::exchange(object_, nullptr); }

  private:
    explicit CFRef(T object) : object_(object) {}
    T object_ = nullptr;
};

} // namespace vanto::mac
