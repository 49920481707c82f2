// SuiteHold: one host suite, acquired by name and version and given back by the destructor.
#pragma once

#include <cstdint>
#include <cstring>

#include "host/BasicSuite.h"

// The table's address lives in a pointer the holder does not own (a module-global suite
// pointer, a field); the holder asks for the suite, keeps the host's code and gives the suite
// back. The suite counts as held while that pointer is not null, also when the host wrote a
// table while refusing: a table the module was given is a table it gives back.
class SuiteHold {
  public:
    // Asks `basicSuite` for the suite `suiteName` at `suiteVersion` into the pointer at
    // `pointer` (the address of a `const XxxSuite*`). [any message]
    SuiteHold(const BasicSuite* basicSuite, const char* suiteName, std::int32_t suiteVersion,
              void* pointer) noexcept
        : basic(basicSuite),
          name(suiteName),
          version(suiteVersion),
          target(pointer),
          acquired(AcquireInto(basic, name, version, target)) {}
    template <typename Suite>
    SuiteHold(const BasicSuite* basicSuite, const char* suiteName, std::int32_t suiteVersion,
              const Suite*& pointer) noexcept
        : SuiteHold(basicSuite, suiteName, suiteVersion, static_cast<void*>(&pointer)) {}
    ~SuiteHold() { Release(); }

    SuiteHold(const SuiteHold&) = delete;
    SuiteHold& operator=(const SuiteHold&) = delete;

    // The acquisition's code: the host's, or 0.
    ErrorCode Acquired() const noexcept { return acquired; }
    // Gives the suite back now if it is held (see ReleaseFrom); the destructor then does nothing.
    ErrorCode Release() noexcept { return ReleaseFrom(basic, name, version, target); }
    // Clears the pointer without giving anything back: after a refusal, whatever the host wrote
    // is not the module's to return.
    void Abandon() noexcept { Store(target, nullptr); }

    // The two steps alone, for an owner that holds suites beyond one call (SuiteSet).
    // Asks for the suite; the pointer ends holding whatever the host wrote, or what it held
    // before when the host wrote nothing. Returns the host's code.
    static ErrorCode AcquireInto(const BasicSuite* basicSuite, const char* suiteName,
                                 std::int32_t suiteVersion, void* pointer) noexcept {
        const void* suite = Load(pointer);
        const ErrorCode result = basicSuite->AcquireSuite(suiteName, suiteVersion, &suite);
        Store(pointer, suite);
        return result;
    }
    // When the pointer holds a table, gives the suite back and clears the pointer whatever the
    // host answers. Returns the host's code; 0, with no call, when nothing is held.
    static ErrorCode ReleaseFrom(const BasicSuite* basicSuite, const char* suiteName,
                                 std::int32_t suiteVersion, void* pointer) noexcept {
        if (Load(pointer) == nullptr) {
            return kNoError;
        }
        const ErrorCode result = basicSuite->ReleaseSuite(suiteName, suiteVersion);
        Store(pointer, nullptr);
        return result;
    }
    // The table the pointer holds, or null. The pointers are typed suite pointers seen through
    // void*: they are read and written as bytes, so that none is accessed through another type.
    static const void* Load(const void* pointer) noexcept {
        const void* value = nullptr;
        std::memcpy(&value, pointer, sizeof value);
        return value;
    }

  private:
    static void Store(void* pointer, const void* value) noexcept {
        std::memcpy(pointer, &value, sizeof value);
    }

    const BasicSuite* basic;
    const char* name;
    std::int32_t version;
    void* target;
    ErrorCode acquired;
};
