#include "cli/command_table.h"

#include <algorithm>
#include <vector>

namespace ktcli {

const QList<CommandSpec>& Commands() {
    static const QList<CommandSpec> commands = [] {
        const QList<OptionSpec> seconds{{QStringLiteral("seconds"), QStringLiteral("N")}};
        QList<OptionSpec> card{{QStringLiteral("delay"), QStringLiteral("N")}};
        for (const char* flag :
             {"uid-a", "block", "7-byte", "iso15693", "uid-b", "guid-b", "green", "reset"}) {
            card.append({QString::fromLatin1(flag), {}});
            card.append({QStringLiteral("no-") + QString::fromLatin1(flag), {}});
        }
        const QList<OptionSpec> yes{{QStringLiteral("yes"), {}}};
        return QList<CommandSpec>{
            {QStringLiteral("connect"), {}},
            {QStringLiteral("send"),
             {{QStringLiteral("xor"), {}}, {QStringLiteral("xor-etx"), {}}}},
            {QStringLiteral("command"), {}},
            {QStringLiteral("set-date"), {}},
            {QStringLiteral("alarm"), {}},
            {QStringLiteral("factory-reset"), yes},
            {QStringLiteral("reboot"), {}},
            {QStringLiteral("set-speed"), {}},
            {QStringLiteral("get-id"), {}},
            {QStringLiteral("find-id"), {}},
            {QStringLiteral("set-id"), {{QStringLiteral("from"), QStringLiteral("FILE")}}},
            {QStringLiteral("dido"),
             seconds + QList<OptionSpec>{{QStringLiteral("out"), QStringLiteral("LIST")}}},
            {QStringLiteral("poll"), seconds},
            {QStringLiteral("module send"), {}},
            {QStringLiteral("module scan"), {}},
            {QStringLiteral("v5 get-sn"), {}},
            {QStringLiteral("v5 set-id"), {}},
            {QStringLiteral("v7 get-sn"), {}},
            {QStringLiteral("v7 find-id"), {}},
            {QStringLiteral("v7 set-id"), {}},
            {QStringLiteral("v7 get-card"), {}},
            {QStringLiteral("v7 set-card"), card},
            {QStringLiteral("firmware"), yes},
            {QStringLiteral("scan"), {{QStringLiteral("all"), {}}}},
        };
    }();
    return commands;
}

const CommandSpec* FindCommand(const QString& name) {
    const auto& commands = Commands();
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const CommandSpec& spec) { return spec.name == name; });
    return it == commands.end() ? nullptr : &*it;
}

bool IsGroup(const QString& word) {
    return word == u"module" || word == u"v5" || word == u"v7";
}

QStringList CommandNames() {
    QStringList names;
    for (const CommandSpec& spec : Commands()) names.append(spec.name);
    return names;
}

namespace {

qsizetype editDistance(const QString& a, const QString& b) {
    std::vector<qsizetype> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j) row[j] = qsizetype(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[size_t(j)];
            row[size_t(j)] = std::min(
                {above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

}  // namespace

QString ClosestName(const QString& word, const QStringList& candidates) {
    QString best;
    qsizetype bestDistance = 0;
    for (const QString& candidate : candidates) {
        const qsizetype distance = editDistance(word, candidate);
        if (best.isEmpty() || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    // A third of the word may be wrong, and at least one letter: "conect",
    // "netx", "v7 get-crd" are slips; "frobnicate" is no command at all.
    const qsizetype allowed = std::max<qsizetype>(1, word.size() / 3);
    return bestDistance <= allowed ? best : QString();
}

}  // namespace ktcli
