// The error reporter: what happens to a non-zero code the plug-in gives back to the host.
//
// Two filters stand before the host: a fixed table of codes that are never reported, and the
// repeat window of the plug-in object (Plugin::OnReportError), which drops a repeat of the
// last reported code within a few seconds. What passes ends in ReportErrorToHost, which shows
// nothing to the user and writes no log: it only touches the host while the suite tables are
// not held.
#pragma once

#include "host/ErrorCode.h"
#include "host/HostTypes.h"

// Codes that are never reported, ended by 0.
extern const ErrorCode SilentErrorTable[];

// Whether `code` is in SilentErrorTable. 0 itself is not.
bool IsSilentError(ErrorCode code) noexcept;

// The last step of every report, and the whole report when there is no plug-in object
// (allocation failure, failed start-up, after shut-down). Silent codes and reports while the
// tables are held call nothing. Otherwise it acquires "AI User Suite" through the last basic
// suite and gives it back at once; failures there are ignored.
void ReportErrorToHost(PluginRef pluginRef, ErrorCode error) noexcept;
