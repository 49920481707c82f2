// One message record as the host passes it to a plug-in: the 32-byte header, then the
// message's own data from offset 32. The record lives only for the one call; what the
// plug-in leaves in the header's instance slot is read back by the host afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "hostsim/abi/HostAbi.h"

namespace hostsim {

class MessageRecord {
  public:
    // A zero-filled record of at least 64 bytes with the given header and, from offset 32,
    // a copy of `payload`.
    MessageRecord(const abi::MessageHeader& header, std::span<const std::byte> payload = {});

    // What the plug-in receives.
    void* data() { return storage_.data(); }
    std::size_t size() const { return storage_.size() * sizeof(std::uint64_t); }
    abi::MessageHeader& Header() { return *static_cast<abi::MessageHeader*>(data()); }

    // Writes `value` at `offset` (from the record's start; 32 and beyond is message data).
    template <typename T>
    void Put(std::size_t offset, const T& value) {
        std::memcpy(static_cast<std::byte*>(data()) + offset, &value, sizeof value);
    }

  private:
    std::vector<std::uint64_t> storage_;  // 8-byte aligned, like the host's records
};

}  // namespace hostsim
