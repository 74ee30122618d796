// Any text as a machine description: refused with a DescriptionError, or
// loaded into a machine; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const sim::MachineDescription description =
            sim::ParseDescription(std::string_view(reinterpret_cast<const char*>(data), size));
        sim::SimMachine machine(description);
    } catch (const sim::DescriptionError&) {
    }
    return 0;
}
