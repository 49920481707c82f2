// ai::HostString: owner of one host Unicode string.
#pragma once

#include <cstdint>
#include <type_traits>

#include "host/HostTypes.h"

namespace ai {

// Holds exactly one field, the string's handle: host operations receive the address of the
// object and read or write the handle there, and a MenuItemRecord embeds one directly after
// its group name. Empty (null handle) until the host fills it.
//
// Construction from text, Append and assignment throw ai::Error with the host's code when the
// host refuses; disposal drops the host's code. Never copy-constructed: a string that must
// hold another's text is constructed empty and then assigned. [held]: without the string suite
// making or changing a string throws ai::Error('CANT') and disposal does nothing.
class HostString {
  public:
    HostString() noexcept = default;
    // Makes a host string from zero-terminated `text` in `encoding` (the plug-in always passes
    // 0 with ASCII). A null `text` gives an empty string without calling the host.
    // Throws ai::Error with the host's code.
    explicit HostString(const char* text, std::int32_t encoding = 0);
    ~HostString();

    HostString(const HostString&) = delete;
    // Makes this string's text equal to `other`'s through the host's copy (self-assignment
    // included: the host gets the same address twice). Throws ai::Error with the host's code.
    HostString& operator=(const HostString& other);

    // Appends `other`'s text. Throws ai::Error with the host's code.
    HostString& Append(const HostString& other);

    bool IsEmpty() const noexcept { return handle == nullptr; }
    // The slot the host reads or writes the handle in.
    HostStringHandle* Slot() noexcept { return &handle; }
    const HostStringHandle* Slot() const noexcept { return &handle; }

  private:
    HostStringHandle handle = nullptr;
};

static_assert(std::is_standard_layout_v<HostString> && sizeof(HostString) == sizeof(void*),
              "the host reads a HostString as a bare string handle");

}  // namespace ai
