#include "hostsim/abi/MessageRecord.h"

#include <algorithm>

namespace hostsim {

MessageRecord::MessageRecord(const abi::MessageHeader& header, std::span<const std::byte> payload) {
    const std::size_t bytes = std::max<std::size_t>(64, sizeof header + payload.size());
    storage_.assign((bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
    Put(0, header);
    if (!payload.empty()) {
        std::memcpy(static_cast<std::byte*>(data()) + sizeof header, payload.data(),
                    payload.size());
    }
}

}  // namespace hostsim
