// The main window's texts, context "Messages" of the catalogues
// (translations/); code names one by its English wording:
// Messages::tr("Command ok."). The 62 numbered messages, by which the
// window's captions are listed, keep here their one mapping from number to
// English source text.
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
};

}  // namespace kt
