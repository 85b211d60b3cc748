#include "modules/module_requests.h"

namespace kt::module {

std::optional<char> TypeLetter(int typeIndex) {
    // KTPRINT is "E", not the next letter in list order.
    static constexpr char kLetters[kTypeCount] = {'A', 'B', 'H', 'I', 'J', 'E'};
    if (typeIndex < 0 || typeIndex >= kTypeCount) return std::nullopt;
    return kLetters[typeIndex];
}

QByteArray PassThrough(char letter, QByteArrayView idText, QByteArrayView moduleCommand) {
    return "DD" + QByteArray(1, letter) + idText.toByteArray() + moduleCommand.toByteArray();
}

QByteArray V5SerialRead(char letter, QByteArrayView idText) {
    return PassThrough(letter, idText, "S");
}

QByteArray V5SetId(char letter, QByteArrayView serialText, int newId) {
    return PassThrough(letter, "0", "C" + serialText.toByteArray() + QByteArray::number(newId));
}

QByteArray Word(int value) {
    return QByteArray::number(value & 0xFFFF, 16).toUpper().rightJustified(4, '0');
}

QByteArray V7SerialById(int id) {
    return kV7SerialById + Word(id);
}

QByteArray V7IdBySerial(QByteArrayView serialText) {
    return kV7IdBySerial + serialText.toByteArray();
}

QByteArray V7SetIdBySerial(QByteArrayView serialText, int newId) {
    const QByteArray serial = serialText.toByteArray();
    return kV7SetIdBySerial + serial + serial + Word(newId) + "0000";
}

QByteArray V7CardTypeWrite(int id, const CardTypeWords& words) {
    return kV7CardTypeWrite + Word(id) + CardTypeData(words);
}

QByteArray V7CardTypeRead(int id) {
    return kV7CardTypeRead + Word(id);
}

}  // namespace kt::module
