#include "host/HostString.h"

#include <cstring>

#include "host/Error.h"
#include "host/UnicodeStringSuite.h"

namespace ai {
namespace {

// The string suite is held whenever a message is dispatched; without it there is nobody to
// ask, which is a refusal like any other.
const UnicodeStringSuite& Suite() {
    if (gUnicodeStringSuite == nullptr) {
        throw Error(kCantError);
    }
    return *gUnicodeStringSuite;
}

void ThrowIfFailed(ErrorCode code) {
    if (code != kNoError) {
        throw Error(code);
    }
}

}  // namespace

HostString::HostString(const char* text, std::int32_t encoding) {
    if (text == nullptr) {
        return;
    }
    const auto byteCount = static_cast<std::int32_t>(std::strlen(text));
    ThrowIfFailed(Suite().Initialize(&handle, text, byteCount, encoding));
    if (handle == nullptr) {
        throw Error(kCantError);  // the host answered success but made no string
    }
}

HostString::~HostString() {
    if (handle != nullptr && gUnicodeStringSuite != nullptr) {
        gUnicodeStringSuite->Destroy(&handle);
    }
}

HostString& HostString::operator=(const HostString& other) {
    ThrowIfFailed(Suite().Copy(&handle, &other.handle));
    if (handle == nullptr && other.handle != nullptr) {
        throw Error(kCantError);  // the host answered success but made no string
    }
    return *this;
}

HostString& HostString::Append(const HostString& other) {
    ThrowIfFailed(Suite().Append(&handle, &other.handle));
    return *this;
}

}  // namespace ai
