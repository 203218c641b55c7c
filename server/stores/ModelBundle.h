#pragma once

#include "protocol/JsonCodec.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

namespace tavrin {

// manifest.json beside model.safetensors, for what the file's own metadata does not say.
struct ModelManifest {
    std::optional<qint64> pipelineVersion;
    std::optional<QString> appVersion;
    std::optional<QString> alias;

    static constexpr auto fields() {
        using R = ModelManifest;
        return std::tuple{optional("pipelineVersion", &R::pipelineVersion), optional("appVersion", &R::appVersion),
                          optional("alias", &R::alias)};
    }
};

// A model bundle as found in a folder: the weights file, checked to be safetensors, with its
// digest and the versions it declares.
struct ModelBundle {
    static constexpr const char* weightsName = "model.safetensors";
    static constexpr const char* manifestName = "manifest.json";

    QString folder; // holds model.safetensors
    QString sha256;
    qint64 pipelineVersion = 0;
    std::optional<QString> appVersion;
    QString alias;
    QMap<QString, QString> checksums; // file name to SHA-256, for every file of the bundle

    // Reads `folder`/model.safetensors (and manifest.json when present). The error says,
    // in one line, why the bundle cannot be used.
    static std::expected<ModelBundle, QString> read(const QString& folder);
};

// Checks the safetensors layout: an 8-byte little-endian header length, a JSON header whose
// tensors have a known dtype, a shape and data offsets that fit the file and the shape, and an
// optional "__metadata__" of strings, which is returned.
std::expected<QMap<QString, QString>, QString> readSafetensorsMetadata(const QString& path);

// The companion app's resource folders, in the order they are searched.
QStringList companionResourceFolders(const QStringList& environment);
// The first of `folders` holding model.safetensors, directly or under ModelResources/: the
// folder that holds the file.
std::optional<QString> findBundleFolder(const QStringList& folders);

// A small valid bundle for trying the server out and for tests: one tensor whose values
// depend on `version`, so that two versions have different digests.
std::expected<void, QString> writeSampleBundle(const QString& folder, const QString& version, qint64 pipelineVersion);

} // namespace tavrin
