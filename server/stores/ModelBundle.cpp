#include "server/stores/ModelBundle.h"

#include "server/support/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <cstring>
#include <map>

namespace tavrin {

namespace {

// Far beyond any real header; it keeps a corrupt length from asking for gigabytes.
constexpr quint64 maxHeaderBytes = 100 * 1024 * 1024;

const std::map<QString, int>& dtypeSizes() {
    static const std::map<QString, int> sizes{
        {"BOOL", 1}, {"U8", 1},  {"I8", 1},  {"F8_E4M3", 1}, {"F8_E5M2", 1}, {"U16", 2}, {"I16", 2},
        {"F16", 2},  {"BF16", 2}, {"U32", 4}, {"I32", 4},     {"F32", 4},     {"U64", 8}, {"I64", 8}, {"F64", 8}};
    return sizes;
}

std::optional<qint64> nonNegativeInteger(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (d < 0 || d > 9.0e15 || d != double(qint64(d)))
        return std::nullopt;
    return qint64(d);
}

std::optional<QString> metadataValue(const QMap<QString, QString>& metadata, const char* key) {
    const auto it = metadata.find(QLatin1StringView(key));
    if (it == metadata.end() || it->isEmpty())
        return std::nullopt;
    return *it;
}

} // namespace

std::expected<QMap<QString, QString>, QString> readSafetensorsMetadata(const QString& path) {
    const auto fail = [](const QString& why) {
        return std::unexpected(QStringLiteral("not a valid safetensors file: %1").arg(why));
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const quint64 size = quint64(file.size());
    char lengthBytes[8];
    if (size < 8 || file.read(lengthBytes, 8) != 8)
        return fail(QStringLiteral("shorter than its 8-byte header length"));
    const quint64 headerLength = qFromLittleEndian<quint64>(lengthBytes);
    if (headerLength < 2 || headerLength > maxHeaderBytes || headerLength > size - 8)
        return fail(QStringLiteral("header length %1 does not fit a file of %2 bytes").arg(headerLength).arg(size));
    const QByteArray headerBytes = file.read(qint64(headerLength));
    if (quint64(headerBytes.size()) != headerLength)
        return fail(QStringLiteral("header cut short"));
    QJsonParseError error{};
    const QJsonDocument header = QJsonDocument::fromJson(headerBytes, &error);
    if (error.error != QJsonParseError::NoError || !header.isObject())
        return fail(QStringLiteral("header is not a JSON object"));

    const quint64 dataBytes = size - 8 - headerLength;
    QMap<QString, QString> metadata;
    qint64 tensors = 0;
    const QJsonObject object = header.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == QLatin1StringView("__metadata__")) {
            if (!it->isObject())
                return fail(QStringLiteral("__metadata__ is not an object"));
            const QJsonObject meta = it->toObject();
            for (auto m = meta.begin(); m != meta.end(); ++m) {
                if (!m->isString())
                    return fail(QStringLiteral("__metadata__ value \"%1\" is not a string").arg(m.key()));
                metadata.insert(m.key(), m->toString());
            }
            continue;
        }
        const QJsonObject tensor = it->toObject();
        const auto dtype = dtypeSizes().find(tensor.value(QLatin1StringView("dtype")).toString());
        if (dtype == dtypeSizes().end())
            return fail(QStringLiteral("tensor \"%1\" has no known dtype").arg(it.key()));
        const QJsonValue shape = tensor.value(QLatin1StringView("shape"));
        const QJsonArray offsets = tensor.value(QLatin1StringView("data_offsets")).toArray();
        if (!shape.isArray() || offsets.size() != 2)
            return fail(QStringLiteral("tensor \"%1\" lacks a shape or data offsets").arg(it.key()));
        quint64 elements = 1;
        for (const QJsonValue& dim : shape.toArray()) {
            const auto n = nonNegativeInteger(dim);
            if (!n || (*n > 0 && elements > dataBytes / quint64(*n)))
                return fail(QStringLiteral("tensor \"%1\" has an impossible shape").arg(it.key()));
            elements *= quint64(*n);
        }
        const auto begin = nonNegativeInteger(offsets[0]);
        const auto end = nonNegativeInteger(offsets[1]);
        if (!begin || !end || *begin > *end || quint64(*end) > dataBytes)
            return fail(QStringLiteral("tensor \"%1\" lies outside the file's data").arg(it.key()));
        if (quint64(*end - *begin) != elements * quint64(dtype->second))
            return fail(QStringLiteral("tensor \"%1\" holds %2 bytes, its shape needs %3")
                            .arg(it.key())
                            .arg(*end - *begin)
                            .arg(elements * quint64(dtype->second)));
        ++tensors;
    }
    if (tensors == 0)
        return fail(QStringLiteral("it holds no tensors"));
    return metadata;
}

std::expected<ModelBundle, QString> ModelBundle::read(const QString& folder) {
    const QString weights = folder + QLatin1Char('/') + QLatin1StringView(weightsName);
    auto metadata = readSafetensorsMetadata(weights);
    if (!metadata)
        return std::unexpected(QStringLiteral("%1: %2").arg(weights, metadata.error()));

    ModelManifest manifest;
    ModelBundle bundle;
    bundle.folder = folder;
    const QString manifestPath = folder + QLatin1Char('/') + QLatin1StringView(manifestName);
    if (QFileInfo::exists(manifestPath)) {
        QFile file(manifestPath);
        if (!file.open(QIODevice::ReadOnly))
            return std::unexpected(QStringLiteral("cannot read %1: %2").arg(manifestPath, file.errorString()));
        auto decoded = decodeJson<ModelManifest>(file.readAll());
        if (!decoded)
            return std::unexpected(QStringLiteral("%1 is not a valid manifest: %2").arg(manifestPath, decoded.error().message()));
        manifest = *decoded;
        auto digest = sha256OfFile(manifestPath);
        if (!digest)
            return std::unexpected(digest.error());
        bundle.checksums.insert(QLatin1StringView(manifestName), *digest);
    }

    if (auto text = metadataValue(*metadata, "pipeline_version")) {
        bool ok = false;
        bundle.pipelineVersion = text->toLongLong(&ok);
        if (!ok || bundle.pipelineVersion < 0)
            return std::unexpected(QStringLiteral("%1: pipeline_version \"%2\" is not a whole number").arg(weights, *text));
    } else if (manifest.pipelineVersion) {
        bundle.pipelineVersion = *manifest.pipelineVersion;
    } else {
        return std::unexpected(
            QStringLiteral("%1: no pipeline_version in its __metadata__ and no manifest.json that gives one").arg(weights));
    }
    bundle.appVersion = metadataValue(*metadata, "app_version");
    if (!bundle.appVersion)
        bundle.appVersion = manifest.appVersion;

    auto digest = sha256OfFile(weights);
    if (!digest)
        return std::unexpected(digest.error());
    bundle.sha256 = *digest;
    bundle.checksums.insert(QLatin1StringView(weightsName), *digest);
    bundle.alias = metadataValue(*metadata, "alias").value_or(manifest.alias.value_or(QString()));
    if (bundle.alias.isEmpty())
        bundle.alias = QStringLiteral("tavrin-") + bundle.sha256.left(8);
    return bundle;
}

QStringList companionResourceFolders(const QStringList& environment) {
    QString dataHome;
    QString home;
    for (const QString& entry : environment) {
        if (entry.startsWith(QLatin1StringView("XDG_DATA_HOME=")))
            dataHome = entry.section(QLatin1Char('='), 1);
        else if (entry.startsWith(QLatin1StringView("HOME=")))
            home = entry.section(QLatin1Char('='), 1);
    }
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = (home.isEmpty() ? QDir::homePath() : home) + QStringLiteral("/.local/share");
    return {QStringLiteral("/opt/tavrin-ai/resources"), dataHome + QStringLiteral("/tavrin-ai/resources")};
}

std::optional<QString> findBundleFolder(const QStringList& folders) {
    for (const QString& folder : folders) {
        for (const QString& candidate : {folder, folder + QStringLiteral("/ModelResources")})
            if (QFileInfo(candidate + QLatin1Char('/') + QLatin1StringView(ModelBundle::weightsName)).isFile())
                return QDir(candidate).absolutePath();
    }
    return std::nullopt;
}

std::expected<void, QString> writeSampleBundle(const QString& folder, const QString& version, qint64 pipelineVersion) {
    if (!QDir().mkpath(folder))
        return std::unexpected(QStringLiteral("cannot create %1").arg(folder));
    // Sixteen float32 values derived from the version text.
    QByteArray data;
    const QByteArray seed = version.toUtf8();
    for (int i = 0; i < 16; ++i) {
        float value = float(i) * 0.25f + float(qHash(seed, uint(i)) % 1000) / 1000.0f;
        char bytes[4];
        qToLittleEndian(value, bytes);
        data.append(bytes, 4);
    }
    QJsonObject metadata{{"pipeline_version", QString::number(pipelineVersion)},
                         {"app_version", version},
                         {"alias", QStringLiteral("tavrin-sample-") + version}};
    QJsonObject header{{"__metadata__", metadata},
                       {"sample.weight", QJsonObject{{"dtype", "F32"},
                                                     {"shape", QJsonArray{4, 4}},
                                                     {"data_offsets", QJsonArray{0, data.size()}}}}};
    const QByteArray headerBytes = QJsonDocument(header).toJson(QJsonDocument::Compact);
    char length[8];
    qToLittleEndian(quint64(headerBytes.size()), length);

    const QString target = folder + QLatin1Char('/') + QLatin1StringView(ModelBundle::weightsName);
    QFile out(target + QStringLiteral(".new"));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(out.fileName(), out.errorString()));
    out.write(length, 8);
    out.write(headerBytes);
    out.write(data);
    if (!out.flush())
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(out.fileName(), out.errorString()));
    out.close();
    // Replaced in one step, so a server starting meanwhile sees the old bundle or the new one.
    if (::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return std::unexpected(QStringLiteral("cannot replace %1: %2").arg(target, errnoText()));
    return {};
}

} // namespace tavrin
