#include "controller.h"

#include "identification_commands.h"

namespace ktsim {

Controller::Controller(const DeviceConfig& config) {
    setConfig(config);
}

void Controller::setConfig(const DeviceConfig& config) {
    config_ = config.resolved();
    registerCommands();
}

void Controller::registerCommands() {
    registry_.clear();
    // Each command group adds its own commands for the current family.
    addIdentificationCommands(registry_, *this);
}

std::optional<Answer> Controller::answer(const Request& request) {
    const auto match = registry_.match(request.text, request.style, config_.address);
    if (!match) return std::nullopt;
    auto payload = match->command->handler(match->context);
    if (!payload) return std::nullopt;
    const kt::FrameStyle style =
        request.style == RequestStyle::Crc ? kt::FrameStyle::Crc : match->command->xorReplyStyle;
    return Answer{match->command->letters, style, std::move(*payload)};
}

}  // namespace ktsim
