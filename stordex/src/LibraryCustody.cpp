// The custody behind SXDelete(): every object handed out, counted by the
// accounting it is given.
#include "Custody.h"

#include <mutex>
#include <unordered_map>

#include "ObjectAccounting.h"

namespace talvex::stordex {

namespace {

class LedgerCustody final : public Custody {
public:
    explicit LedgerCustody(ObjectAccounting& accounting) : m_accounting(accounting) {}

    void Release(void* object) noexcept
    {
        Entry entry;
        {
            std::lock_guard lock(m_lock);
            const auto found = m_objects.find(object);
            if (found == m_objects.end()) {
                m_accounting.Released(m_accounting.Current());
                return;
            }
            entry = found->second;
            m_objects.erase(found);
        }
        // The ledger of the machine the object was read from, which is the
        // one a test looks at even if it released on another thread.
        m_accounting.Released(entry.Book);
        entry.Destroy(object);
    }

protected:
    void Adopt(void* object, Destroy destroy) override
    {
        const ObjectAccounting::Book book = m_accounting.Current();
        {
            std::lock_guard lock(m_lock);
            m_objects.emplace(object, Entry{destroy, book});
        }
        m_accounting.Acquired(book);
    }

private:
    struct Entry {
        Custody::Destroy Destroy = nullptr;
        ObjectAccounting::Book Book = nullptr;
    };
    ObjectAccounting& m_accounting;
    std::mutex m_lock;
    std::unordered_map<void*, Entry> m_objects;
};

LedgerCustody& TheCustody()
{
    // Never destroyed: objects may be released during static destruction.
    static auto* custody = new LedgerCustody(PlatformAccounting());
    return *custody;
}

}  // namespace

Custody& LibraryCustody() { return TheCustody(); }

void ReleaseFromLibraryCustody(void* object) noexcept { TheCustody().Release(object); }

}  // namespace talvex::stordex
