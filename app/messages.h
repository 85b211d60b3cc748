// The window's numbered messages: the one mapping from a message's number
// (by which the window's captions are listed, 0 to 61) to the English source
// text under which the catalogues (translations/) hold its translations.
// Code that names a message by its wording writes Messages::tr("Command ok.").
#pragma once

#include <QCoreApplication>
#include <QString>

namespace kt {

class Messages {
    Q_DECLARE_TR_FUNCTIONS(Messages)
public:
    static constexpr int Count = 62;

    // "&English": each catalogue's translation of it is that language's own
    // name, which the Language menu shows whatever language is installed.
    static constexpr int LanguageNames = 9;

    // The English source text of message `number`; nullptr outside
    // 0..Count-1.
    static const char* source(int number);

    // Message `number` in the installed language; empty outside 0..Count-1.
    static QString text(int number);
};

}  // namespace kt
