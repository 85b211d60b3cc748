// The firmware loader dialogues, each with its memory (loader_memory.h):
//
//   A  families 3, 6     CRC requests at the controller's address:
//                        "Zx5E9C" start, "Zp" write, "Zv" read back,
//                        "ZrC72D" upgrade; 512-byte blocks, each write erases
//                        its own block; address digits upper-case
//   B  families 1, 2, 5  "ZxE7" start (CRC), then XOR requests with ETX
//                        replies at the controller's address: "A" handshake,
//                        "E" erase of two blocks, "P" write, "R" read back,
//                        "X" upgrade; 256-byte blocks; address digits lower-case
//   C  family 4          "Zx" start (CRC, at the address), then XOR requests
//                        with STX replies and no address: "A", "E" erase of
//                        everything, "P", "R", "X"; 64-byte blocks; address
//                        digits lower-case
//
// The commands after the start are answered only while a session is open;
// an applied upgrade closes it. Data digits are upper-case in every dialogue.
#pragma once

#include "sim/device/loader_memory.h"

namespace ktsim {

class CommandRegistry;
class Controller;

// Registers the dialogue of the controller's family (none for 7 to 9) with a
// fresh memory and the loader faults of its configuration.
void addLoaderCommands(CommandRegistry& registry, Controller& controller);

// The loader of the controller's current command table; a state with
// dialogue 0 for a family without one.
LoaderState loaderState(Controller& controller);

}  // namespace ktsim
