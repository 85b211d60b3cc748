// Which modules hang on the controller's bus: the serial number of every V5
// module type at IDs 0 to 8 ("DD" ... "S"), and of the V7 modules at IDs 0
// to 8 ("DR" serial number by ID). One request per address; the modules
// that answer are the result.
#pragma once

#include "link/link.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace kt {

struct SurveyedModule {
    enum class Kind { V5, V7 };
    Kind kind = Kind::V5;
    int typeIndex = -1;  // V5: the item of the type lists (0 to 5); V7: -1
    int id = 0;          // 0 to 8
    QByteArray serial;   // as the reply carries it: eight bytes from the wire
    bool operator==(const SurveyedModule&) const = default;
};

// "V5" or "V7".
QString ModuleKindName(SurveyedModule::Kind kind);
// The V5 page's item ("KTRB5/BR/CR") for a V5 module, "V7" for a V7 one.
QString ModuleTypeName(const SurveyedModule& module);

struct ModuleSurveyResult {
    QList<SurveyedModule> modules;  // in the order asked: V5 by type and ID, then V7
    int asked = 0;                  // requests sent
    bool cancelled = false;         // keepRunning said stop
    bool portLost = false;          // the port went away; the survey stopped
    QString why;                    // when the port was lost
    // Every address asked and no port lost: the list is the whole bus.
    bool complete() const { return !cancelled && !portLost; }
};

struct ModuleSurveyObserver {
    // After each request: how many were sent, of how many.
    std::function<void(int asked, int total)> progress;
    // A module answered.
    std::function<void(const SurveyedModule& module)> found;
    // Asked before each request; false ends the survey there.
    std::function<bool()> keepRunning;
};

// Six V5 types and one V7 kind at nine IDs each.
inline constexpr int kSurveyIds = 9;
inline constexpr int kSurveyRequests = (6 + 1) * kSurveyIds;

// Runs on the open link with the address Connect left; pauses 100 ms before
// each request as a plain wait of the thread.
ModuleSurveyResult SurveyModules(Link& link, const QByteArray& address,
                                 const ModuleSurveyObserver& observer = {});

// The modules as comma-separated values with a header line ("kind,type,id,
// serial"), one line each. Control bytes of a serial number show as visible
// symbols; a field holding a comma, a quote or a line break is quoted.
QString ModuleSurveyCsv(const QList<SurveyedModule>& modules);

}  // namespace kt
