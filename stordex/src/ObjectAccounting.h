// Where the library's custody reports the objects it hands out and takes back.
// The custody is given one; which one the library uses is chosen by the build:
// the machine's resource ledger where the platform keeps one, nothing on Windows.
#pragma once

namespace talvex::stordex {

class ObjectAccounting {
public:
    // Identifies where the objects handed out now are counted; the custody
    // keeps it with each object, so that a release on another thread is
    // counted where the object was.
    using Book = void*;

    virtual Book Current() noexcept = 0;
    virtual void Acquired(Book book) noexcept = 0;
    virtual void Released(Book book) noexcept = 0;

protected:
    ~ObjectAccounting() = default;
};

// The accounting the library's own custody is built with.
ObjectAccounting& PlatformAccounting() noexcept;

}  // namespace talvex::stordex
