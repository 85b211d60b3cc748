// Faults of the firmware loader, block by block: written KIND[=BLOCK][@N],
// for example "nowrite=2@4" (block 2's write goes unanswered four times),
// "lowerdata=1" (block 1 always reads back in lower-case digits) or
// "nohandshake". Without =BLOCK a fault hits every block; without @N it
// never runs out. They sit beside the per-command faults of fault.h, which
// still apply to the loader's replies by their letters ("X:silent").
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace ktsim {

enum class LoaderFaultKind {
    NoWrite,      // a block write goes unanswered (not stored)
    NoReadBack,   // a read-back goes unanswered
    WrongData,    // a read-back with one data digit wrong
    LowerData,    // a read-back with the data digits in lower case
    ShortData,    // a read-back with only half the data
    NoHandshake,  // "A" goes unanswered (dialogues B and C; no block)
    NoErase,      // "E" goes unanswered (B: by the block it precedes; C: no block)
};

struct LoaderFault {
    LoaderFaultKind kind = LoaderFaultKind::NoWrite;
    int block = -1;      // -1: every block
    int remaining = -1;  // times left; -1: no end

    QString toString() const;
    // nullopt and a one-line reason in *error when the text is not a loader fault.
    static std::optional<LoaderFault> parse(QStringView text, QString* error = nullptr);
};

class LoaderFaults {
public:
    void add(const LoaderFault& fault) { faults_.append(fault); }
    // Whether a fault of this kind hits the block now; counts it down.
    bool take(LoaderFaultKind kind, int block = -1);

private:
    QList<LoaderFault> faults_;
};

}  // namespace ktsim
