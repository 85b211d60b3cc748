#include "tests/app/catalogue_builder.h"

#include <QFile>
#include <QProcess>
#include <QResource>

#include <iconv.h>

namespace kttest {
namespace {

QString escaped(const char* text) {
    return QString::fromUtf8(text).toHtmlEscaped();
}

bool write(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.flush();
}

}  // namespace

bool fitsCodePage(const QString& text, const char* codePage) {
    iconv_t cd = iconv_open(codePage, "UTF-8");
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 8, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const bool ok =
        cd != iconv_t(-1) && iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
    if (cd != iconv_t(-1)) iconv_close(cd);
    return ok && inLeft == 0;
}

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return program + QStringLiteral(": did not finish");
    }
    const QString output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0
               ? QString()
               : program + QStringLiteral(": ") + output;
}

QString registerCatalogue(QTemporaryDir& dir, const QString& language,
                          const std::vector<CatalogueEntry>& entries) {
    QString ts = QStringLiteral(
                     "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                     "<TS version=\"2.1\" language=\"%1\">\n")
                     .arg(language);
    for (const auto& [context, source, translation] : entries)
        ts += QStringLiteral(
                  "<context><name>%1</name><message><source>%2</source>"
                  "<translation>%3</translation></message></context>\n")
                  .arg(escaped(context), escaped(source), escaped(translation));
    ts += QStringLiteral("</TS>\n");
    const QString name = QStringLiteral("kttools_") + language;
    const QString tsPath = dir.filePath(name + QStringLiteral(".ts"));
    const QString qrcPath = dir.filePath(name + QStringLiteral(".qrc"));
    const QString rccPath = dir.filePath(name + QStringLiteral(".rcc"));
    if (!write(tsPath, ts)) return QStringLiteral("cannot write ") + tsPath;
    QString error = runTool(QStringLiteral(KT_LRELEASE),
                            {tsPath, QStringLiteral("-qm"), dir.filePath(name + ".qm")});
    if (!error.isEmpty()) return error;
    if (!write(qrcPath, QStringLiteral("<RCC><qresource prefix=\"/i18n\"><file>%1.qm</file>"
                                       "</qresource></RCC>\n")
                            .arg(name)))
        return QStringLiteral("cannot write ") + qrcPath;
    error = runTool(QStringLiteral(KT_RCC),
                    {QStringLiteral("--binary"), qrcPath, QStringLiteral("-o"), rccPath});
    if (!error.isEmpty()) return error;
    return QResource::registerResource(rccPath) ? QString()
                                                : QStringLiteral("cannot register ") + rccPath;
}

}  // namespace kttest
