#include "sim/device/device_config.h"

#include "sim/faults/loader_fault.h"

namespace ktsim {
namespace {

struct FamilyIdentity {
    const char* model;
    const char* versionCode;
};

// Families 1, 2, 3 and 5 carry models the tool does not list, so that it
// tells them apart by the version code alone.
FamilyIdentity familyIdentity(int family) {
    switch (family) {
        case 1:
            return {"KT300", "V3"};
        case 2:
            return {"KT400", "V4"};
        case 3:
            return {"KT500", "V5"};
        case 5:
            return {"KT200", "V2"};
        case 6:
            return {"KT740", "V7"};
        case 7:
            return {"KT350", "V7"};
        case 8:
            return {"KT460", "V8"};
        case 9:
            return {"KT660", "V9"};
        default:
            return {"KT410", "V4"};
    }
}

// Longer than any wait of the tool; a bound that catches typing errors.
constexpr int kMaxRestartMs = 600000;

// Reply payloads must never hold CR, the lead bytes or EOT: printable ASCII only.
bool isPrintable(const QByteArray& text) {
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

QString checkField(const char* name, const QByteArray& value, int length) {
    if (value.size() != length)
        return QStringLiteral("%1 must be %2 characters, got \"%3\"")
            .arg(QLatin1String(name))
            .arg(length)
            .arg(QString::fromLatin1(value));
    if (!isPrintable(value))
        return QStringLiteral("%1 must be printable ASCII").arg(QLatin1String(name));
    return {};
}

}  // namespace

DeviceConfig DeviceConfig::resolved() const {
    DeviceConfig r = *this;
    const FamilyIdentity identity = familyIdentity(family);
    if (r.address.isEmpty()) r.address = family == 4 ? "000" : "0000";
    if (r.model.isEmpty()) r.model = identity.model;
    if (r.versionCode.isEmpty()) r.versionCode = identity.versionCode;
    if (r.acReplyLength == 0) r.acReplyLength = family == 8 ? 15 : 17;
    if (r.avReplyLength == 0) r.avReplyLength = 20;
    if (r.avVersion.isEmpty())
        r.avVersion = r.avReplyLength == 28 ? "KT410XB V2.13.08" : "V2.13.08";
    return r;
}

QString DeviceConfig::validate() const {
    const DeviceConfig r = resolved();
    if (r.family < 1 || r.family > 9)
        return QStringLiteral("family must be 1 to 9, got %1").arg(r.family);
    QString error = checkField(r.family == 4 ? "address (family 4)" : "address", r.address,
                               r.family == 4 ? 3 : 4);
    if (error.isEmpty()) error = checkField("serial number", r.serial, 8);
    if (error.isEmpty()) error = checkField("model", r.model, 5);
    if (error.isEmpty()) error = checkField("version code", r.versionCode, 2);
    if (error.isEmpty() && r.acReplyLength != 15 && r.acReplyLength != 17)
        return QStringLiteral("AC reply length must be 15 or 17, got %1").arg(r.acReplyLength);
    if (error.isEmpty() && r.avReplyLength != 20 && r.avReplyLength != 28)
        return QStringLiteral("AV reply length must be 20 or 28, got %1").arg(r.avReplyLength);
    if (error.isEmpty())
        error = checkField("AV version text", r.avVersion, r.avReplyLength == 28 ? 16 : 8);
    for (qsizetype i = 0; error.isEmpty() && i < r.loaderFaults.size(); ++i)
        LoaderFault::parse(r.loaderFaults[i], &error);
    if (error.isEmpty() && (r.factoryResetMs < 0 || r.factoryResetMs > kMaxRestartMs ||
                            r.rebootMs < 0 || r.rebootMs > kMaxRestartMs))
        return QStringLiteral("restart times must be 0 to %1 ms").arg(kMaxRestartMs);
    if (error.isEmpty()) error = r.modules.validate();
    return error;
}

}  // namespace ktsim
