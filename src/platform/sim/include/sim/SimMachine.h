// A simulated machine: what a machine description says it has, answered with
// Windows' own semantics.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace sim {

class SimMachine : public platform::Machine {
public:
    UINT AnsiCodePage() const override { return m_codePage; }
    bool DebuggerAttached() const override { return m_debuggerAttached; }
    void DebugOutput(std::wstring_view text) override;

    void SetAnsiCodePage(UINT codePage) { m_codePage = codePage; }
    void SetDebuggerAttached(bool attached) { m_debuggerAttached = attached; }

    // What was written to the debugger output, oldest first.
    std::vector<std::wstring> DebugLines() const;

private:
    UINT m_codePage = 1252;
    bool m_debuggerAttached = false;
    mutable std::mutex m_debugLock;
    std::vector<std::wstring> m_debugLines;
};

}  // namespace sim
