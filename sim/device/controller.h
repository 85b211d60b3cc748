// The substitute controller itself: its configuration, its current address
// (which "0000AV" + serial + new ID changes), what it remembers between
// requests, and its command table.
#pragma once

#include "sim/device/command_registry.h"
#include "sim/device/device_config.h"
#include "sim/device/device_state.h"
#include "sim/transport/request.h"

#include "link/frames.h"

#include <QByteArray>
#include <optional>

namespace ktsim {

// A reply the controller decided to send, before any fault shapes it.
struct Answer {
    QByteArray letters;  // the command answered, for matching faults
    kt::FrameStyle style = kt::FrameStyle::Crc;
    QByteArray payload;
};

class Controller {
public:
    // The configuration must validate; it is resolved here.
    explicit Controller(const DeviceConfig& config);
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // The configuration as resolved, with the address the controller has now.
    const DeviceConfig& config() const { return config_; }
    // Starts over as another controller: new identity, fresh state and
    // command table.
    void setConfig(const DeviceConfig& config);

    const QByteArray& address() const { return config_.address; }
    void setAddress(const QByteArray& address) { config_.address = address; }

    // The controller's reply to a request whose checksum was right, or
    // nullopt when it stays silent (restarting, not addressed, unknown
    // command, arguments it does not take).
    std::optional<Answer> answer(const Request& request);

    DeviceState& state() { return state_; }
    const DeviceState& state() const { return state_; }

    CommandRegistry& registry() { return registry_; }

private:
    void registerCommands();

    DeviceConfig config_;
    DeviceState state_;
    CommandRegistry registry_;
};

}  // namespace ktsim
