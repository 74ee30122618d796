// Keeps the objects the library hands to its callers. Each is remembered with
// the way to destroy it, so that SXDelete() can release the very pointer it
// gets back as void*, whatever interface it was handed out as.
//
// Decoders hand out their caller-owned sub-objects through a Custody they are
// given, which keeps them free of platform calls: the library's own custody
// counts objects in the machine's resource ledger, a test's may just own them.
#pragma once

#include <memory>
#include <utility>

namespace talvex::stordex {

// The contract's interfaces have no virtual destructor, so an object held
// through one is destroyed by what it was made as: the deleter remembers that.
struct MadeAsDeleter {
    void (*Destroy)(void*) = nullptr;  // takes the interface pointer as void*

    template <typename Interface>
    void operator()(Interface* object) const noexcept
    {
        if (object != nullptr) Destroy(static_cast<void*>(object));
    }
};

template <typename Interface>
using Owned = std::unique_ptr<Interface, MadeAsDeleter>;

template <typename Interface, typename Made, typename... Args>
Owned<Interface> MakeOwned(Args&&... args)
{
    Interface* object = new Made(std::forward<Args>(args)...);
    return Owned<Interface>(object, MadeAsDeleter{[](void* pointer) {
                                delete static_cast<Made*>(static_cast<Interface*>(pointer));
                            }});
}

class Custody {
public:
    using Destroy = void (*)(void*);

    Custody() = default;
    Custody(const Custody&) = delete;
    Custody& operator=(const Custody&) = delete;
    virtual ~Custody() = default;

    // Takes the object over and returns the pointer to give the caller; null
    // stays null.
    template <typename Interface>
    Interface* HandOut(Owned<Interface> object)
    {
        if (!object) return nullptr;
        Interface* handedOut = object.get();
        // The key is the interface pointer converted to void*: exactly what a
        // caller's shared owner passes back to SXDelete().
        Adopt(static_cast<void*>(handedOut), object.get_deleter().Destroy);
        object.release();
        return handedOut;
    }

protected:
    // Must either keep the object or throw before keeping it.
    virtual void Adopt(void* object, Destroy destroy) = 0;
};

// The custody behind SXDelete(); lives for the whole process.
Custody& LibraryCustody();

// Destroys an object the library custody holds. A pointer it does not hold
// (never handed out, or released already) is counted as one more release in
// the current machine's ledger, so a test sees the double release, and left
// alone.
void ReleaseFromLibraryCustody(void* object) noexcept;

}  // namespace talvex::stordex
