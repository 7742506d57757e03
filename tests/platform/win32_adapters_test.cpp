// The IP Helper header needs the socket types declared first.
#include <winsock2.h>

#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/adapters.h"
#include "platform/win32/adapter_buffer.h"

namespace nodmark::platform::win32 {
namespace {

// A buffer laid out as GetAdaptersInfo lays out its answer: records one after the
// other from the start, linked through Next.
class AdapterBuffer {
 public:
  AdapterBuffer() { std::memset(bytes_, 0, sizeof bytes_); }

  IP_ADAPTER_INFO& Record(std::size_t i) { return reinterpret_cast<IP_ADAPTER_INFO*>(bytes_)[i]; }

  // Links records 0 to count - 1 and gives each a description and address.
  void Chain(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      IP_ADAPTER_INFO& record = Record(i);
      record.Next = i + 1 < count ? &Record(i + 1) : nullptr;
      const std::string description = "Adapter " + std::to_string(i);
      std::memcpy(record.Description, description.c_str(), description.size() + 1);
      record.AddressLength = 6;
      for (int b = 0; b < 6; ++b) record.Address[b] = static_cast<BYTE>(0x10 * i + b);
    }
  }

  std::optional<AdapterList> Copy() const { return CopyAdapterChain(bytes_, sizeof bytes_); }

 private:
  alignas(IP_ADAPTER_INFO) unsigned char bytes_[kAdapterBufferSize];
};

// Both architectures accept a listing of twelve adapters and no more: GetAdaptersInfo
// refuses a thirteenth record, which would not fit.
TEST(Win32AdapterBuffer, HoldsExactlyTwelveRecords) {
  EXPECT_EQ(sizeof(IP_ADAPTER_INFO) * kMaxAdapters, kAdapterBufferSize);
  AdapterBuffer buffer;
  buffer.Chain(kMaxAdapters);
  const auto list = buffer.Copy();
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->count, kMaxAdapters);
}

TEST(Win32AdapterBuffer, CopiesDescriptionFirstSixAddressBytesAndWirelessTypeInChainOrder) {
  AdapterBuffer buffer;
  buffer.Chain(3);
  buffer.Record(0).Type = MIB_IF_TYPE_ETHERNET;
  buffer.Record(1).Type = IF_TYPE_IEEE80211;
  const auto list = buffer.Copy();
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->count, 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_STREQ(list->records[i].description.data(), ("Adapter " + std::to_string(i)).c_str());
    EXPECT_EQ(list->records[i].address[0], 0x10 * i);
    EXPECT_EQ(list->records[i].address[5], 0x10 * i + 5);
    EXPECT_EQ(list->records[i].wireless, i == 1) << i;
    EXPECT_FALSE(list->records[i].removableBus) << "the listing does not tell the bus";
  }
}

TEST(Win32AdapterBuffer, SixAddressBytesWhateverTheAddressLength) {
  AdapterBuffer buffer;
  buffer.Chain(1);
  IP_ADAPTER_INFO& record = buffer.Record(0);
  record.AddressLength = 4;
  const BYTE address[8] = {0x00, 0x00, 0x00, 0x00, 0x07, 0x08, 0x09, 0x0A};
  std::memcpy(record.Address, address, sizeof address);
  const auto list = buffer.Copy();
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->records[0].address, (std::array<std::uint8_t, 6>{0, 0, 0, 0, 0x07, 0x08}));
}

TEST(Win32AdapterBuffer, DescriptionOfAll132BytesIsCopiedWhole) {
  AdapterBuffer buffer;
  buffer.Chain(1);
  std::memset(buffer.Record(0).Description, 'x', sizeof buffer.Record(0).Description);
  const auto list = buffer.Copy();
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(std::string(list->records[0].description.data(), kAdapterDescriptionSize),
            std::string(kAdapterDescriptionSize, 'x'));
}

TEST(Win32AdapterBuffer, ChainThatLeavesTheBufferGivesNoListing) {
  AdapterBuffer buffer;
  buffer.Chain(2);
  IP_ADAPTER_INFO outside = {};
  buffer.Record(1).Next = &outside;
  EXPECT_FALSE(buffer.Copy().has_value());

  // A chain that loops would never end; it is cut at the buffer's capacity.
  buffer.Record(1).Next = &buffer.Record(0);
  EXPECT_FALSE(buffer.Copy().has_value());
}

}  // namespace
}  // namespace nodmark::platform::win32
