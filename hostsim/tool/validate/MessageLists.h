// The messages the validator sends, written once for the checks and the message-order player:
// every caller and selector of the routing table, callers and selectors no module should act
// on, and the notification types sent.
#pragma once

#include <array>
#include <cstddef>

#include "hostsim/abi/MessageNames.h"
#include "hostsim/loader/Session.h"

namespace hostsim::tool {

struct MessageName {
    const char* caller;
    const char* selector;
};

// Every message of the routing table. The message-order player numbers its raw messages from
// this list first, so its order is part of what a sequence means (keep it, append to it).
inline constexpr std::array<MessageName, 8> kKnownMessages = {{
    {messages::kInterfaceCaller, messages::kAboutSelector},
    {messages::kInterfaceCaller, messages::kStartupSelector},
    {messages::kInterfaceCaller, messages::kShutdownSelector},
    {messages::kAccessCaller, messages::kUnloadSelector},
    {messages::kAccessCaller, messages::kReloadSelector},
    {messages::kNotifierCaller, messages::kNotifySelector},
    {messages::kMenuCaller, messages::kGoSelector},
    {messages::kMenuCaller, messages::kUpdateSelector},
}};

// Callers and selectors the module does not know: near misses of known ones (a case, a
// character), the known selector under the wrong caller, empty texts. The message-order player
// sends the first kUnknownMessagesPlayed of them, after kKnownMessages.
inline constexpr std::array<MessageName, 8> kUnknownMessages = {{
    {"SP Interface", "Reboot"},
    {"Quorvane", "Startup"},
    {"", ""},
    {"SP Properties", "Acquire"},
    {"AI Menu", "AI Go!"},
    {"SP Access", "unload"},
    {"AI Notifier", "AI Notify Later"},
    {"AI Menu", ""},
}};
inline constexpr std::size_t kUnknownMessagesPlayed = 4;

// Notification types sent to the module: the one it registers for, others of the host, and
// texts no host sends. The message-order player numbers them in this order.
inline constexpr std::array<const char*, 6> kNotificationTypes = {
    kApplicationStartedType,
    "AI Document Opened Notifier",
    "AI Art Selection Changed Notifier",
    "",
    "Quorvane App Started Notifier",
    "\x01\xff",
};

}  // namespace hostsim::tool
