// Library objects counted in the resource ledger of the machine in scope.
#include "ObjectAccounting.h"

#include "platform/Machine.h"

namespace talvex::stordex {

namespace {

class LedgerAccounting final : public ObjectAccounting {
public:
    Book Current() noexcept override { return &platform::CurrentMachine().Ledger(); }
    void Acquired(Book book) noexcept override { LedgerOf(book).Acquired(platform::Resource::LibraryObject); }
    void Released(Book book) noexcept override { LedgerOf(book).Released(platform::Resource::LibraryObject); }

private:
    static platform::ResourceLedger& LedgerOf(Book book) { return *static_cast<platform::ResourceLedger*>(book); }
};

}  // namespace

ObjectAccounting& PlatformAccounting() noexcept
{
    static LedgerAccounting accounting;
    return accounting;
}

}  // namespace talvex::stordex
