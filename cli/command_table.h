// Every ktcli command by its full name ("connect", "v7 set-card"), with the
// options of its own; the parser and the help read the same list.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ktcli {

struct OptionSpec {
    QString name;       // without the dashes: "seconds"
    QString valueName;  // "N"; empty for a flag
};

struct CommandSpec {
    QString name;  // "connect", "v7 set-card"
    QList<OptionSpec> options;
};

const QList<CommandSpec>& Commands();
// The command of that full name, or nullptr.
const CommandSpec* FindCommand(const QString& name);
// "module", "v5" and "v7" take a subcommand.
bool IsGroup(const QString& word);
// The full names, groups' subcommands included, for suggestions.
QStringList CommandNames();

// The candidate nearest to word by edit distance, when it is near enough to
// be a slip of the keyboard; empty otherwise.
QString ClosestName(const QString& word, const QStringList& candidates);

}  // namespace ktcli
