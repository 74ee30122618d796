// Library objects are not counted: Windows keeps no ledger of them.
#include "ObjectAccounting.h"

namespace talvex::stordex {

namespace {

class UncountedAccounting final : public ObjectAccounting {
public:
    Book Current() noexcept override { return nullptr; }
    void Acquired(Book) noexcept override {}
    void Released(Book) noexcept override {}
};

}  // namespace

ObjectAccounting& PlatformAccounting() noexcept
{
    static UncountedAccounting accounting;
    return accounting;
}

}  // namespace talvex::stordex
