#pragma once

#include <functional>
#include <string>

namespace kestrel {

// The one way the core tells the user about a failure. The editor shows a
// message box, the command-line tool prints to stderr, tests record.
using MessageHandler = std::function<void(const std::string& message)>;

// Installs handler and returns the previous one. An empty handler drops messages.
MessageHandler setMessageHandler(MessageHandler handler);
void ReportMessage(const std::string& message);

}  // namespace kestrel
