#include "storage/Messages.h"

#include <utility>

namespace kestrel {

namespace {
MessageHandler& handlerSlot() {
    static MessageHandler handler;
    return handler;
}
}  // namespace

MessageHandler setMessageHandler(MessageHandler handler) {
    return std::exchange(handlerSlot(), std::move(handler));
}

void ReportMessage(const std::string& message) {
    if (handlerSlot())
        handlerSlot()(message);
}

}  // namespace kestrel
