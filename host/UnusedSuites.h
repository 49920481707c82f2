// Suites the plug-in acquires with the others and releases again, but never calls:
// "SP Blocks Suite" version 2, "AI File Path Suite" version 3, "AI Folders Suite" version 4.
// Their tables are the host's; only their addresses are kept.
#pragma once

#include <cstdint>

inline constexpr const char* kBlocksSuiteName = "SP Blocks Suite";
inline constexpr std::int32_t kBlocksSuiteVersion = 2;
inline constexpr const char* kFilePathSuiteName = "AI File Path Suite";
inline constexpr std::int32_t kFilePathSuiteVersion = 3;
inline constexpr const char* kFoldersSuiteName = "AI Folders Suite";
inline constexpr std::int32_t kFoldersSuiteVersion = 4;

struct BlocksSuite;
struct FilePathSuite;
struct FoldersSuite;

extern const BlocksSuite* gBlocksSuite;
extern const FilePathSuite* gFilePathSuite;
extern const FoldersSuite* gFoldersSuite;
