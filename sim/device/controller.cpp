#include "sim/device/controller.h"

#include "sim/device/basic_commands.h"
#include "sim/device/event_commands.h"
#include "sim/device/identification_commands.h"
#include "sim/device/io_commands.h"
#include "sim/device/loader_commands.h"
#include "sim/device/modules_commands.h"

namespace ktsim {

Controller::Controller(const DeviceConfig& config) {
    setConfig(config);
}

void Controller::setConfig(const DeviceConfig& config) {
    config_ = config.resolved();
    state_ = DeviceState();
    registerCommands();
}

void Controller::registerCommands() {
    registry_.clear();
    // Each command group adds its own commands for the current family.
    addIdentificationCommands(registry_, *this);
    addBasicCommands(registry_, *this);
    addIoCommands(registry_, *this);
    addEventCommands(registry_, *this);
    addLoaderCommands(registry_, *this);
    addModuleCommands(registry_, *this);
}

std::optional<Answer> Controller::answer(const Request& request) {
    // A controller that is starting up again hears nothing.
    if (state_.restarting()) return std::nullopt;
    const auto match = registry_.match(request.text, request.style, config_.address);
    if (!match) return std::nullopt;
    auto payload = match->command->handler(match->context);
    if (!payload) return std::nullopt;
    const kt::FrameStyle style =
        request.style == RequestStyle::Crc ? kt::FrameStyle::Crc : match->command->xorReplyStyle;
    return Answer{match->command->letters, style, std::move(*payload)};
}

}  // namespace ktsim
