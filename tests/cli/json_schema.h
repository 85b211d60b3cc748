// Just enough JSON Schema to hold ktcli's output to docs/ktcli.schema.json:
// type, const, enum, pattern, minimum, maximum, properties, required,
// additionalProperties, items, minItems, maxItems and "#/..." $ref. A keyword
// it does not know fails the check, so the schema cannot outgrow it unseen.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace kttest {

class JsonSchema {
public:
    explicit JsonSchema(QJsonObject root) : root_(std::move(root)) {}

    // Empty when value fits the schema at pointer ("#/$defs/..."), else the
    // first misfit and where it is.
    QString check(const QJsonValue& value, const QString& pointer) const {
        return misfit(value, resolve(pointer), QStringLiteral("$"));
    }

private:
    QJsonValue resolve(const QString& pointer) const {
        QJsonValue at = root_;
        for (const QString& part : pointer.mid(2).split(u'/', Qt::SkipEmptyParts))
            at = at.toObject().value(part);
        return at;
    }

    static QString typeOf(const QJsonValue& v) {
        static const char* names[] = {"null", "boolean", "number", "string", "array", "object"};
        if (v.isDouble() && v.toDouble() == double(qint64(v.toDouble())))
            return QStringLiteral("integer");
        return QString::fromLatin1(names[qBound(0, int(v.type()), 5)]);
    }

    QString misfit(const QJsonValue& v, const QJsonValue& schemaValue, const QString& at) const {
        if (schemaValue.isBool())
            return schemaValue.toBool() ? QString() : at + QLatin1String(" not allowed");
        const QJsonObject s = schemaValue.toObject();
        static const QStringList known =
            QStringLiteral(
                "$schema $id title description $defs type const enum pattern minimum maximum "
                "properties required additionalProperties items minItems maxItems $ref")
                .split(u' ');
        for (const QString& key : s.keys()) {
            if (!known.contains(key)) return at + QLatin1String(" unknown keyword ") + key;
        }
        if (s.contains(u"$ref")) return misfit(v, resolve(s[u"$ref"].toString()), at);
        const QJsonValue type = s[u"type"];
        const QJsonArray types = type.isArray() ? type.toArray() : QJsonArray{type};
        if (!type.isUndefined() && !types.contains(typeOf(v)) &&
            !(typeOf(v) == u"integer" && types.contains(QStringLiteral("number"))))
            return at + QLatin1String(" is ") + typeOf(v);
        if (s.contains(u"const") && v != s[u"const"])
            return at + QLatin1String(" is not the constant");
        if (s.contains(u"enum") && !s[u"enum"].toArray().contains(v))
            return at + QLatin1String(" not listed");
        if (v.isString() && s.contains(u"pattern") &&
            !QRegularExpression(s[u"pattern"].toString()).match(v.toString()).hasMatch())
            return at + QLatin1String(" does not match: ") + v.toString();
        if (v.isDouble() && ((s.contains(u"minimum") && v.toDouble() < s[u"minimum"].toDouble()) ||
                             (s.contains(u"maximum") && v.toDouble() > s[u"maximum"].toDouble())))
            return at + QLatin1String(" out of range");
        if (v.isObject()) {
            const QJsonObject o = v.toObject();
            for (const QJsonValue& name : s[u"required"].toArray()) {
                if (!o.contains(name.toString()))
                    return at + QLatin1String(" lacks ") + name.toString();
            }
            const QJsonObject properties = s[u"properties"].toObject();
            for (auto it = o.begin(); it != o.end(); ++it) {
                const QJsonValue sub = properties.contains(it.key()) ? properties[it.key()]
                                                                     : s[u"additionalProperties"];
                if (sub.isUndefined()) continue;
                if (QString why = misfit(it.value(), sub, at + u'.' + it.key()); !why.isEmpty())
                    return why;
            }
        }
        if (v.isArray()) {
            const QJsonArray a = v.toArray();
            if (a.size() < s[u"minItems"].toInt(0) || a.size() > s[u"maxItems"].toInt(1 << 30))
                return at + QLatin1String(" has a wrong number of items");
            for (const QJsonValue& item : a) {
                if (QString why = misfit(item, s[u"items"], at + QLatin1String("[]"));
                    !why.isEmpty() && s.contains(u"items"))
                    return why;
            }
        }
        return {};
    }

    QJsonObject root_;
};

}  // namespace kttest
