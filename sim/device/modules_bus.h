// The controller's module bus: the V5 modules, known by type letter and a
// one-character ID, and the V7 modules, known by a 16-bit ID, each with its
// serial number. V7 readers also keep their card-type registers. The tool
// reaches them through the controller with "DD" (V5) and "DR" (V7).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace ktsim {

struct V5Module {
    // A, B, H, I, J or E: the type letters of the tool's module lists
    // (E is KTPRINT).
    char letter = 'H';
    char id = '1';  // '0' to '9'; '0' in a request's ID place means "by serial number"
    QByteArray serial = "15030001";  // eight printable characters

    bool operator==(const V5Module&) const = default;
};

struct V7Module {
    quint16 id = 1;
    QByteArray serial = "17030001";  // eight printable characters
    // The card-type registers as the tool writes them: flags (one bit per
    // card type), same-card delay in 100 ms, mode (green 0x01, reset 0x02).
    quint16 flags = 0x0041;
    quint16 delay = 0x000A;
    quint16 mode = 0x0003;
    // Bus noise between this module and the controller: the controller
    // relays the card-type words with the mode word's first digit damaged
    // into 'G', a reply that passes its checksum but holds no number.
    bool noisyWords = false;

    bool operator==(const V7Module&) const = default;
};

struct ModuleBus {
    QList<V5Module> v5;
    QList<V7Module> v7;

    // What a trainee finds without asking: a KTRB5 reader at V5 ID 1 and a
    // V7 reader at ID 1, with the tool's initial card-type settings.
    static ModuleBus demo();

    // Empty when every module fits the reply layouts, else one line saying why.
    QString validate() const;

    // Indexes of the modules that would answer. Two or more modules at one
    // address garble each other's replies: the controller then hears nothing.
    QList<int> v5At(char letter, char id) const;
    QList<int> v5BySerial(char letter, QByteArrayView serial) const;
    QList<int> v7At(quint16 id) const;
    QList<int> v7BySerial(QByteArrayView serial) const;

    bool operator==(const ModuleBus&) const = default;
};

// "A", "B", "H", "I", "J" or "E".
bool isV5Letter(char letter);

// The five-character model name a V5 module of that letter gives by "B".
QByteArray v5ModelName(char letter);

// ktsim's --v5 LETTER:ID:SERIAL and --v7 ID:SERIAL (ID in decimal); nullopt
// and one line in *error when the text does not describe a module.
std::optional<V5Module> parseV5Module(QStringView text, QString* error = nullptr);
std::optional<V7Module> parseV7Module(QStringView text, QString* error = nullptr);

}  // namespace ktsim
