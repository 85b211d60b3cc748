// The digital I/O test: every pass switches the outputs as their boxes are
// ticked and reads the inputs into the lamps; after the last pass it sends
// the end-of-test command. Family 4 has its own command set: outputs 1 to 3
// switched on or off every pass ("JDn1"/"JDn0"), inputs 1 to 4 by "IE" and 7
// and 8 by "DF", end "JE". Every other family: "JC00n10002" for each ticked
// box only, inputs 1 to 8 by "DG0", end "JD".
#pragma once

#include "controller/continuous_test.h"
#include "controller/family.h"
#include "controller/silence_watch.h"
#include "link/link.h"

#include <QByteArray>
#include <functional>

namespace kt {

struct DidoObserver {
    // "DIDO test", once, before the first pass.
    ShowStatus showStatus;
    KeepRunning keepRunning;
    // Whether box chkDO<output> is ticked; read every pass. Empty: none is.
    std::function<bool(int output)> outputChecked;
    // Input lamp shDI<input> from a valid reply: yellow when active (the
    // controller sent "1"), white otherwise. Lamps of a missing or odd reply
    // are not reported and stay as they are.
    std::function<void(int input, bool active)> inputRead;
    // From the third transaction in a row without a reply, and again when
    // the answers return (SilenceWatch). The wire does not change.
    SilenceChanged silenceChanged;
};

// After it returns, the window paints all eight lamps white, unticks the
// four boxes and runs FinishOperationOk, or FinishOperationError with the
// cause when the port was lost.
ContinuousTestResult DidoTest(Link& link, const QByteArray& address, Family family,
                              const DidoObserver& observer);

}  // namespace kt
