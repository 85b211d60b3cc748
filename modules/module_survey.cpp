#include "modules/module_survey.h"

#include "link/visible_text.h"
#include "modules/module_requests.h"
#include "modules/pass_through.h"
#include "modules/v7_registers.h"

namespace kt {
namespace {

// The V5 page's type list, in the order of the type letters.
const char* const kV5TypeNames[module::kTypeCount] = {
    "KTRA1/A3/B3", "KTIOM-2A/24", "KTRB5/BR/CR", "KTRC5/C6/CR/CD", "KTRD5/DR/ED", "KTPRINT",
};

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

}  // namespace

QString ModuleKindName(SurveyedModule::Kind kind) {
    return kind == SurveyedModule::Kind::V5 ? QStringLiteral("V5") : QStringLiteral("V7");
}

QString ModuleTypeName(const SurveyedModule& module) {
    if (module.kind == SurveyedModule::Kind::V7) return QStringLiteral("V7");
    if (module.typeIndex < 0 || module.typeIndex >= module::kTypeCount) return {};
    return QString::fromLatin1(kV5TypeNames[module.typeIndex]);
}

ModuleSurveyResult SurveyModules(Link& link, const QByteArray& address,
                                 const ModuleSurveyObserver& observer) {
    ModuleSurveyResult result;
    // One step per request: V5 types by ID, then the V7 IDs.
    const auto ask = [&](SurveyedModule::Kind kind, int typeIndex, int id) {
        if (observer.keepRunning && !observer.keepRunning()) {
            result.cancelled = true;
            return false;
        }
        std::optional<QByteArray> serial;
        if (kind == SurveyedModule::Kind::V5) {
            const V5SerialResult reply =
                GetV5Serial(link, address, typeIndex, QByteArray::number(id));
            if (reply.ok) serial = reply.serialText;
        } else {
            const V7SerialOrIdResult reply = GetV7SerialOrId(link, address, true, id, {});
            if (reply.ok) serial = reply.serialText;
        }
        ++result.asked;
        if (serial) {
            const SurveyedModule module{kind, typeIndex, id, *serial};
            result.modules.append(module);
            if (observer.found) observer.found(module);
        }
        if (observer.progress) observer.progress(result.asked, kSurveyRequests);
        if (!serial && link.portGone()) {
            result.portLost = true;
            result.why = link.lastError().text;
            return false;
        }
        return true;
    };
    for (int type = 0; type < module::kTypeCount; ++type) {
        for (int id = 0; id < kSurveyIds; ++id) {
            if (!ask(SurveyedModule::Kind::V5, type, id)) return result;
        }
    }
    for (int id = 0; id < kSurveyIds; ++id) {
        if (!ask(SurveyedModule::Kind::V7, -1, id)) return result;
    }
    return result;
}

QString ModuleSurveyCsv(const QList<SurveyedModule>& modules) {
    QString csv = QStringLiteral("kind,type,id,serial\r\n");
    for (const SurveyedModule& module : modules) {
        csv += csvField(ModuleKindName(module.kind)) + u',' + csvField(ModuleTypeName(module)) +
               u',' + QString::number(module.id) + u',' + csvField(VisibleText(module.serial)) +
               QStringLiteral("\r\n");
    }
    return csv;
}

}  // namespace kt
