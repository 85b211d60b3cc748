// The event polling test: every pass polls the controller ("IE" for family
// 4, "QI" for family 6, "PI" for the others), shows the date and time at
// the head of each valid reply, and shows each event record the controller
// returns and answers it with "IB". No end-of-test command; both panels keep
// the last texts shown.
#pragma once

#include "controller/continuous_test.h"
#include "controller/family.h"
#include "controller/silence_watch.h"
#include "link/link.h"

#include <QByteArray>
#include <functional>

namespace kt {

struct PollingObserver {
    // "Pooling data test", once, before the first pass.
    ShowStatus showStatus;
    KeepRunning keepRunning;
    // pnPoolingDate: "yyyy/mm/dd  hh:nn:ss" from the reply's head, as received.
    std::function<void(const QByteArray& text)> showDate;
    // pnPoolingData: the event record. Family 4: 14 characters, " (", four
    // characters, ") (", two characters, ")". Others: "[code] ", the
    // record's date and time as above, " (", four characters, ") [", five
    // characters, "]".
    std::function<void(const QByteArray& text)> showEvent;
    // From the third poll in a row without a reply, and again when the
    // answers return (SilenceWatch). The wire does not change.
    SilenceChanged silenceChanged;
};

struct PollingTestResult : ContinuousTestResult {
    int events = 0;  // records shown and answered
};

// After it returns, the window runs FinishOperationOk, or
// FinishOperationError with the cause when the port was lost.
PollingTestResult PollingTest(Link& link, const QByteArray& address, Family family,
                              const PollingObserver& observer);

}  // namespace kt
