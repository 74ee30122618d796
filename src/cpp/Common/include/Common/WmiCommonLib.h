// One WQL query on a WMI namespace: constructing it connects, runs the query
// and steps to the first result object; IsEnd and Next walk the results and
// the getters read properties of the current one. Every failure is raised as
// a result error carrying its HRESULT.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Talvex::Quorlin::Cpp::Common {

class WmiCommonLib {
public:
    // nameSpace: 1 root\WMI, 2 root\cimv2, 3 root\StandardCimv2,
    // 4 root\cimv2\Security\MicrosoftVolumeEncryption,
    // 5 root\microsoft\windows\storage, 6 root\cimv2\power; others root\cimv2.
    WmiCommonLib(const std::wstring& query, unsigned short nameSpace);
    ~WmiCommonLib();
    WmiCommonLib(const WmiCommonLib&) = delete;
    WmiCommonLib& operator=(const WmiCommonLib&) = delete;

    // True when the last step returned no object.
    bool IsEnd();
    // Releases the current object and steps to the next.
    void Next();

    std::string GetStringByField(const std::wstring& name);  // UTF-8
    std::wstring GetWstringByField(const std::wstring& name);
    std::vector<uint8_t> GetUint8ArrayByField(const std::wstring& name);
    std::vector<std::string> GetStringArrayByField(const std::wstring& name);  // UTF-8
    uint16_t GetUint16ByField(const std::wstring& name);
    int32_t GetInt32ByField(const std::wstring& name);
    uint32_t GetUint32ByField(const std::wstring& name);
    // WMI delivers 64-bit integers as decimal text.
    uint64_t GetUint64ByField(const std::wstring& name);
    bool GetBoolByField(const std::wstring& name);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace Talvex::Quorlin::Cpp::Common
