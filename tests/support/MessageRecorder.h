#pragma once

// Collects the core's messages for one scope instead of showing them.

#include <string>
#include <vector>

#include "storage/Messages.h"

namespace kestrel {

class MessageRecorder {
public:
    MessageRecorder()
        : mPrevious(setMessageHandler([this](const std::string& m) { messages.push_back(m); })) {}
    ~MessageRecorder() { setMessageHandler(mPrevious); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // All messages joined by '|', "" when there were none.
    std::string joined() const {
        std::string all;
        for (const std::string& m : messages)
            all += (all.empty() ? "" : "|") + m;
        return all;
    }

    std::vector<std::string> messages;

private:
    MessageHandler mPrevious;
};

}  // namespace kestrel
