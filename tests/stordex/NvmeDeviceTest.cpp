// The simulated NVMe drive answers the storage requests as Windows' NVMe
// driver does, with the bytes where the drive's firmware puts them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "PageHelpers.h"
#include "SampleDrives.h"
#include "platform/Layouts.h"

namespace {

using namespace stordex_test;

// A protocol-specific query as Microsoft's NVMe samples build it: the
// 8-byte property query header, the 40-byte protocol data, then the data.
struct Query {
    DWORD property = StorageAdapterProtocolSpecificProperty;
    DWORD protocol = ProtocolTypeNvme;
    DWORD dataType = NVMeDataTypeIdentify;
    DWORD value = 1;
    DWORD subValue = 0;
    DWORD offset = 40;
    DWORD length = 4096;
    DWORD outSize = 0;  // 0: 48 + length
};

struct Answer {
    DWORD error;
    DWORD returned;
    std::vector<std::uint8_t> buffer;
};

Answer Ask(sim::NvmeDevice& device, const Query& q)
{
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(8 + q.offset + q.length, q.outSize), 0);
    PutLittle(buffer, 0, q.property, 4);
    PutLittle(buffer, 4, PropertyStandardQuery, 4);
    const DWORD fields[] = {q.protocol, q.dataType, q.value, q.subValue, q.offset, q.length};
    for (std::size_t i = 0; i < 6; ++i) PutLittle(buffer, 8 + 4 * i, fields[i], 4);
    const DWORD outSize = q.outSize != 0 ? q.outSize : static_cast<DWORD>(buffer.size());
    const auto result = device.Control({IOCTL_STORAGE_QUERY_PROPERTY, buffer.data(),
                                        static_cast<DWORD>(buffer.size()), buffer.data(), outSize});
    return {result.error, result.bytesReturned, buffer};
}

TEST(NvmeDevice, IdentifyReplyCarriesThePageAfterTheDescriptor)
{
    sim::NvmeDevice device(SampleDrive());
    const Answer answer = Ask(device, {});
    ASSERT_EQ(answer.error, ERROR_SUCCESS);
    EXPECT_EQ(answer.returned, 48U + 4096U);
    EXPECT_EQ(Little(answer.buffer, 0, 4), 48U);         // Version
    EXPECT_EQ(Little(answer.buffer, 4, 4), 48U);         // Size
    EXPECT_EQ(Little(answer.buffer, 8 + 16, 4), 40U);    // ProtocolDataOffset
    EXPECT_EQ(Little(answer.buffer, 8 + 20, 4), 4096U);  // ProtocolDataLength
    const auto page = Slice(answer.buffer, 48, 4096);
    EXPECT_EQ(Little(page, 0, 2), 0x144DU);
    EXPECT_EQ(std::string(page.begin() + 4, page.begin() + 24), "S4EWNX0R123456      ");
    EXPECT_EQ(Little(page, 73, 3), 0x002538U);
    EXPECT_EQ(Little(page, 256, 2), 0x0017U);
    EXPECT_EQ(page[768 + 48], '6');
    EXPECT_EQ(page[768 + 49], 0);  // the NQN is NUL-padded
    EXPECT_EQ(Little(page, 2048, 2), 780U);
    EXPECT_EQ(page[2048 + 4 * 32 + 3], 0x02);  // power state 4 is non-operational
    EXPECT_EQ(std::string(page.begin() + 3072, page.begin() + 3076), "TVXC");
}

TEST(NvmeDevice, RefusesQueriesTheDriverRefuses)
{
    sim::NvmeDevice device(SampleDrive());
    Query deviceProperty;
    deviceProperty.property = StorageDeviceProtocolSpecificProperty;
    EXPECT_EQ(Ask(device, deviceProperty).error, ERROR_INVALID_PARAMETER);
    Query shortData;
    shortData.length = 512;
    EXPECT_EQ(Ask(device, shortData).error, ERROR_INVALID_PARAMETER);
    Query badOffset;
    badOffset.offset = 8;
    EXPECT_EQ(Ask(device, badOffset).error, ERROR_INVALID_PARAMETER);
    Query ata;
    ata.protocol = ProtocolTypeAta;
    EXPECT_EQ(Ask(device, ata).error, ERROR_NOT_SUPPORTED);
    Query shortOut;
    shortOut.outSize = 48 + 4095;
    Answer answer = Ask(device, shortOut);
    EXPECT_EQ(answer.error, ERROR_INSUFFICIENT_BUFFER);
    Query unknownLog{StorageDeviceProtocolSpecificProperty, ProtocolTypeNvme, NVMeDataTypeLogPage, 0xC0, 0, 40, 512};
    EXPECT_EQ(Ask(device, unknownLog).error, ERROR_INVALID_FUNCTION);
    EXPECT_EQ(device.ProtocolQueries().size(), 6U);
}

TEST(NvmeDevice, LogPagesFromAnOffsetAndZeroPastTheirEnd)
{
    sim::NvmeDevice device(SampleDrive());
    Query health{StorageDeviceProtocolSpecificProperty, ProtocolTypeNvme, NVMeDataTypeLogPage, 2, 0, 40, 512};
    const Answer whole = Ask(device, health);
    ASSERT_EQ(whole.error, ERROR_SUCCESS);
    const auto page = Slice(whole.buffer, 48, 512);
    EXPECT_EQ(page[0], 0x04);
    EXPECT_EQ(Little(page, 1, 2), 323U);
    EXPECT_EQ(Little(page, 128, 2), 4660U);
    EXPECT_EQ(Little(page, 48 + 8, 8), 1U);
    EXPECT_EQ(Little(page, 202, 2), 273U);

    health.subValue = 128;
    health.length = 512;
    const Answer tail = Ask(device, health);
    ASSERT_EQ(tail.error, ERROR_SUCCESS);
    EXPECT_EQ(Little(tail.buffer, 48, 2), 4660U);
    EXPECT_EQ(tail.buffer[48 + 400], 0);
}

}  // namespace
