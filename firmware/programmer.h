// The firmware upgrade dialogue: start the controller's loader, write every
// block, read every block back and compare it, then tell the loader to
// start the new firmware. Three dialogues, chosen by the family:
//
//   A  families 3, 6     512-byte blocks, CRC requests ("Zx5E9C", "Zp", "Zv",
//                        "ZrC72D"), the address in front of every command
//   B  families 1, 2, 5  256-byte blocks, XOR requests with ETX replies after
//                        the start ("ZxE7" twice, handshake "A", an "E" erase
//                        before every even block, "P", "R", "X"), the address
//                        in front of every command
//   C  family 4          64-byte blocks, XOR requests with STX replies after
//                        the start ("Zx" twice, handshake "A", one "E", "P",
//                        "R", "X"), the address in front of the start only
//
// Every fixed pause is as long as the loader needs it; none is shortened
// anywhere, tests included (link/pause.h).
#pragma once

#include "controller/operation.h"
#include "firmware/firmware_file.h"
#include "link/link.h"

#include <QByteArray>
#include <functional>

namespace kt {

enum class FirmwareBar { Program, Verify };  // pbProgram, pbVerify

struct FirmwareObserver {
    // "Programming ...", "Verifying ...", "Upgrading ...", by their English
    // wording; the window lets itself repaint before the run goes on.
    ShowStatus status;
    // A handshake attempt of dialogue B or C was not accepted: the status
    // line shows "Connecting device ..." and " ( remaining )", 10 down to 1.
    std::function<void(int remaining)> handshakeFailed;
    // A phase begins: the bar's maximum becomes the block count.
    std::function<void(FirmwareBar bar, int maximum)> phaseStarted;
    // Block k was acknowledged (written) or matched (read back): the bar's
    // position becomes k, and the maximum once the phase is complete.
    std::function<void(FirmwareBar bar, int position)> progress;
};

// Runs the whole dialogue on the open link for the controller at address
// (DeviceAddress) of the given family, with the image LoadFirmwareFile cut
// for that family. The window has set both bars to 0 and loaded the file
// before it opened the operation.
//
struct FirmwareResult : OperationResult {
    QString cause;  // why the run failed, for a person; empty on success
};

// ok: FinishOperationOk ("Command ok."), also when the final upgrade command
// goes unanswered. Not ok: FinishOperationError ("Command error!"): the start,
// handshake (B), "E" (B, C), a write or a read-back failed, and then the
// upgrade command is never sent. A family without a known loader dialogue
// (outside 1 to 6), or an image not cut for the family, is refused before
// anything is sent, and so is an image without a single block. A lost port
// fails the run at whichever step it shows, the upgrade command included.
FirmwareResult ProgramFirmware(Link& link, const QByteArray& address, Family family,
                               const FirmwareImage& image, const FirmwareObserver& observer = {});

}  // namespace kt
