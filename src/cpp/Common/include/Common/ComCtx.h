// The COM apartment and security context of one WMI connection: joins the
// calling thread to the multithreaded apartment for the object's lifetime.
#pragma once

namespace Talvex::Quorlin::Cpp::Common {

class ComCtx {
public:
    // Joins COM (multithreaded) and sets process security. Neither failure is
    // an error: a thread already in a single-threaded apartment keeps it, and
    // process security set earlier stays as it is.
    ComCtx();
    // Leaves COM only if the constructor joined it.
    virtual ~ComCtx();
    ComCtx(const ComCtx&) = delete;
    ComCtx& operator=(const ComCtx&) = delete;

private:
    bool m_initialized = false;
};

}  // namespace Talvex::Quorlin::Cpp::Common
