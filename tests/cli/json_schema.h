// Just enough JSON Schema (2020-12) to hold ktcli's output to
// docs/ktcli.schema.json: type, const, enum, pattern, minimum, maximum,
// properties, required, additionalProperties, items, minItems, maxItems,
// $ref to "#/...", allOf, anyOf, if/then/else and the boolean schemas. A
// keyword it does not know fails the check, so the schema cannot outgrow it
// unnoticed.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace kttest {

class JsonSchema {
public:
    explicit JsonSchema(QJsonObject root) : root_(std::move(root)) {}

    // Empty when value fits the schema at pointer ("#/$defs/..."); else the
    // first misfit, with its place in value.
    QString check(const QJsonValue& value, const QString& pointer) const {
        QString why;
        validate(value, resolve(pointer), QStringLiteral("$"), &why);
        return why;
    }

private:
    QJsonValue resolve(const QString& pointer) const {
        QJsonValue at = root_;
        for (const QString& part : pointer.mid(2).split(u'/', Qt::SkipEmptyParts))
            at = at.toObject().value(part);
        return at;
    }

    static QString typeOf(const QJsonValue& v) {
        switch (v.type()) {
            case QJsonValue::Null:
                return QStringLiteral("null");
            case QJsonValue::Bool:
                return QStringLiteral("boolean");
            case QJsonValue::Double:
                return v.toDouble() == double(qint64(v.toDouble())) ? QStringLiteral("integer")
                                                                    : QStringLiteral("number");
            case QJsonValue::String:
                return QStringLiteral("string");
            case QJsonValue::Array:
                return QStringLiteral("array");
            case QJsonValue::Object:
                return QStringLiteral("object");
            default:
                return QStringLiteral("undefined");
        }
    }

    bool validate(const QJsonValue& v, const QJsonValue& schemaValue, const QString& at,
                  QString* why) const {
        auto misfit = [&](const QString& text) {
            if (why && why->isEmpty()) *why = at + QStringLiteral(": ") + text;
            return false;
        };
        if (schemaValue.isBool())
            return schemaValue.toBool() || misfit(QStringLiteral("not allowed"));
        if (!schemaValue.isObject()) return misfit(QStringLiteral("no schema here"));
        const QJsonObject s = schemaValue.toObject();
        static const QSet<QString> known{"$schema",  "$id",
                                         "title",    "description",
                                         "$defs",    "type",
                                         "const",    "enum",
                                         "pattern",  "minimum",
                                         "maximum",  "properties",
                                         "required", "additionalProperties",
                                         "items",    "minItems",
                                         "maxItems", "$ref",
                                         "allOf",    "anyOf",
                                         "if",       "then",
                                         "else"};
        for (auto it = s.begin(); it != s.end(); ++it) {
            if (!known.contains(it.key())) return misfit(QStringLiteral("unknown keyword ") + it.key());
        }
        if (s.contains(u"$ref") && !validate(v, resolve(s[u"$ref"].toString()), at, why))
            return false;
        if (s.contains(u"type")) {
            const QJsonValue type = s[u"type"];
            const QStringList types = type.isArray()
                                          ? QVariant(type.toArray().toVariantList()).toStringList()
                                          : QStringList{type.toString()};
            const QString actual = typeOf(v);
            if (!types.contains(actual) && !(actual == u"integer" && types.contains(u"number")))
                return misfit(QStringLiteral("%1 is not %2").arg(actual, types.join(u'|')));
        }
        if (s.contains(u"const") && v != s[u"const"])
            return misfit(QStringLiteral("not the constant"));
        if (s.contains(u"enum") && !s[u"enum"].toArray().contains(v))
            return misfit(QStringLiteral("not one of the listed values: ") +
                          v.toVariant().toString());
        if (v.isString() && s.contains(u"pattern") &&
            !QRegularExpression(s[u"pattern"].toString()).match(v.toString()).hasMatch())
            return misfit(QStringLiteral("\"%1\" does not match %2")
                              .arg(v.toString(), s[u"pattern"].toString()));
        if (v.isDouble() && s.contains(u"minimum") && v.toDouble() < s[u"minimum"].toDouble())
            return misfit(QStringLiteral("below the minimum"));
        if (v.isDouble() && s.contains(u"maximum") && v.toDouble() > s[u"maximum"].toDouble())
            return misfit(QStringLiteral("above the maximum"));
        if (v.isObject()) {
            const QJsonObject o = v.toObject();
            const QJsonObject properties = s[u"properties"].toObject();
            for (const QJsonValue& name : s[u"required"].toArray()) {
                if (!o.contains(name.toString())) return misfit(QStringLiteral("missing ") + name.toString());
            }
            for (auto it = o.begin(); it != o.end(); ++it) {
                const QString place = at + u'.' + it.key();
                if (properties.contains(it.key())) {
                    if (!validate(it.value(), properties[it.key()], place, why)) return false;
                } else if (s.contains(u"additionalProperties") &&
                           !validate(it.value(), s[u"additionalProperties"], place, why)) {
                    return false;
                }
            }
        }
        if (v.isArray()) {
            const QJsonArray a = v.toArray();
            if (s.contains(u"minItems") && a.size() < s[u"minItems"].toInt())
                return misfit(QStringLiteral("too few items"));
            if (s.contains(u"maxItems") && a.size() > s[u"maxItems"].toInt())
                return misfit(QStringLiteral("too many items"));
            for (qsizetype i = 0; s.contains(u"items") && i < a.size(); ++i) {
                if (!validate(a[i], s[u"items"], QStringLiteral("%1[%2]").arg(at).arg(i), why))
                    return false;
            }
        }
        for (const QJsonValue& part : s[u"allOf"].toArray()) {
            if (!validate(v, part, at, why)) return false;
        }
        if (s.contains(u"anyOf")) {
            bool any = false;
            for (const QJsonValue& part : s[u"anyOf"].toArray())
                any = any || validate(v, part, at, nullptr);
            if (!any) return misfit(QStringLiteral("fits none of anyOf"));
        }
        if (s.contains(u"if")) {
            const QJsonValue branch = validate(v, s[u"if"], at, nullptr) ? s[u"then"] : s[u"else"];
            if (!branch.isUndefined() && !validate(v, branch, at, why)) return false;
        }
        return true;
    }

    QJsonObject root_;
};

}  // namespace kttest
