#include "controller/silence_watch.h"

namespace kt {

void SilenceWatch::transaction(const Link& link) {
    if (link.lastError().kind == LinkFault::NoAnswer) {
        if (++unanswered_ == kSilentAfter && report_) report_(true, lastAnswer_);
        return;
    }
    const bool wasSilent = unanswered_ >= kSilentAfter;
    unanswered_ = 0;
    lastAnswer_ = QDateTime::currentDateTime();
    if (wasSilent && report_) report_(false, lastAnswer_);
}

}  // namespace kt
