#include "Custody.h"

#include <mutex>
#include <unordered_map>

#ifndef _WIN32
#include "platform/Machine.h"
#endif

namespace talvex::stordex {

namespace {

#ifndef _WIN32
using Ledger = platform::ResourceLedger;
Ledger* CurrentLedger() noexcept { return &platform::CurrentMachine().Ledger(); }
void CountAcquired(Ledger* ledger) noexcept { ledger->Acquired(platform::Resource::LibraryObject); }
void CountReleased(Ledger* ledger) noexcept { ledger->Released(platform::Resource::LibraryObject); }
#else
// Windows has no simulated machine to account to.
struct Ledger {};
Ledger* CurrentLedger() noexcept { return nullptr; }
void CountAcquired(Ledger*) noexcept {}
void CountReleased(Ledger*) noexcept {}
#endif

class LedgerCustody final : public Custody {
public:
    void Release(void* object) noexcept
    {
        Entry entry;
        {
            std::lock_guard lock(m_lock);
            const auto found = m_objects.find(object);
            if (found == m_objects.end()) {
                CountReleased(CurrentLedger());
                return;
            }
            entry = found->second;
            m_objects.erase(found);
        }
        // The ledger of the machine the object was read from, which is the
        // one a test looks at even if it released on another thread.
        CountReleased(entry.ledger);
        entry.destroy(object);
    }

protected:
    void Adopt(void* object, Destroy destroy) override
    {
        Ledger* ledger = CurrentLedger();
        {
            std::lock_guard lock(m_lock);
            m_objects.emplace(object, Entry{destroy, ledger});
        }
        CountAcquired(ledger);
    }

private:
    struct Entry {
        Destroy destroy = nullptr;
        Ledger* ledger = nullptr;
    };
    std::mutex m_lock;
    std::unordered_map<void*, Entry> m_objects;
};

LedgerCustody& TheCustody()
{
    // Never destroyed: objects may be released during static destruction.
    static auto* custody = new LedgerCustody();
    return *custody;
}

}  // namespace

Custody& LibraryCustody() { return TheCustody(); }

void ReleaseFromLibraryCustody(void* object) noexcept { TheCustody().Release(object); }

}  // namespace talvex::stordex
