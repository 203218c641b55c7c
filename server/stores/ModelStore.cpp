#include "server/stores/ModelStore.h"

#include "server/support/Files.h"
#include "server/support/IsoTime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace tavrin {

namespace {

QString modelsFolder(const StateStore& store) { return store.pathOf(QStringLiteral("models")); }

ClientModelSnapshot snapshotOf(const ModelBundle& bundle, const QString& stagedPath) {
    ClientModelSnapshot s;
    s.id = QStringLiteral("mdl_") + bundle.sha256.left(12);
    s.alias = bundle.alias;
    s.modelSha256 = bundle.sha256;
    s.manifestPipelineVersion = bundle.pipelineVersion;
    s.sourceBundlePath = bundle.folder;
    s.stagedBundlePath = stagedPath;
    s.importedAt = isoUtcNow();
    s.sourceAppVersion = bundle.appVersion;
    s.checksums = bundle.checksums;
    return s;
}

bool sameModel(const std::optional<ClientModelSnapshot>& a, const QString& sha) { return a && a->modelSha256 == sha; }

} // namespace

ClientModelMetadata metadataOf(const ClientModelSnapshot& snapshot) {
    ClientModelMetadata m;
    m.id = snapshot.id;
    m.aliases = {snapshot.alias};
    m.productionAlias = snapshot.alias;
    m.modelSha256 = snapshot.modelSha256;
    m.manifestPipelineVersion = snapshot.manifestPipelineVersion;
    m.sourceAppVersion = snapshot.sourceAppVersion;
    m.stagedBundlePath = snapshot.stagedBundlePath;
    m.importedAt = snapshot.importedAt;
    return m;
}

std::expected<std::unique_ptr<ModelStore>, QString> ModelStore::open(const StateStore& store, const QStringList& searchFolders) {
    std::unique_ptr<ModelStore> models(new ModelStore(store));
    auto pins = store.load<ClientModelPinState>(QLatin1StringView(pinsFile));
    if (!pins)
        return std::unexpected(pins.error());
    models->m_pins = pins->value_or(ClientModelPinState{});

    if (const auto folder = findBundleFolder(searchFolders)) {
        auto bundle = ModelBundle::read(*folder);
        if (!bundle) {
            models->m_sourceProblem = QStringLiteral("model bundle not used: %1").arg(bundle.error());
        } else {
            ClientModelPinState& p = models->m_pins;
            const bool known = sameModel(p.production, bundle->sha256) || sameModel(p.stagedUpdate, bundle->sha256);
            std::optional<ClientModelSnapshot> imported;
            if (!known) {
                auto snapshot = models->import(*bundle);
                if (!snapshot)
                    models->m_sourceProblem = QStringLiteral("model bundle not used: %1").arg(snapshot.error());
                else
                    imported = *snapshot;
            }
            if (imported) {
                if (!p.production)
                    p.production = imported;
                else
                    p.stagedUpdate = imported;
                if (auto saved = store.save(QLatin1StringView(pinsFile), p); !saved)
                    return std::unexpected(saved.error());
            }
            if (!models->m_sourceProblem) {
                ClientModelSnapshot detected = snapshotOf(*bundle, QString());
                for (const auto* pinned : {&p.production, &p.stagedUpdate})
                    if (sameModel(*pinned, bundle->sha256))
                        detected = **pinned;
                models->m_detected = metadataOf(detected);
            }
        }
    } else {
        models->m_sourceProblem = QStringLiteral("no model bundle: no model.safetensors in %1")
                                      .arg(searchFolders.join(QStringLiteral(" or ")));
    }

    // What production is now is what this process serves until it ends.
    if (models->m_pins.production) {
        if (QFileInfo::exists(models->m_pins.production->stagedBundlePath + QLatin1Char('/') +
                              QLatin1StringView(ModelBundle::weightsName)))
            models->m_running = metadataOf(*models->m_pins.production);
        else
            models->m_sourceProblem = QStringLiteral("the production model's copy %1 is missing; no model is loaded")
                                          .arg(models->m_pins.production->stagedBundlePath);
    }
    models->forgetUnpinnedCopies();
    return models;
}

std::expected<ClientModelSnapshot, QString> ModelStore::import(const ModelBundle& bundle) {
    const QString root = modelsFolder(m_store);
    if (!QDir().mkpath(root))
        return std::unexpected(QStringLiteral("cannot create %1").arg(root));
    QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString target = root + QLatin1Char('/') + bundle.sha256;
    if (QFileInfo(target).isDir()) {
        // Copied before and still here (a version from the history): reuse it if intact.
        auto digest = sha256OfFile(target + QLatin1Char('/') + QLatin1StringView(ModelBundle::weightsName));
        if (digest && *digest == bundle.sha256)
            return snapshotOf(bundle, target);
        removeTree(target);
    }
    QByteArray temp = QFile::encodeName(root + QStringLiteral("/.import-XXXXXX"));
    if (!::mkdtemp(temp.data()))
        return std::unexpected(QStringLiteral("cannot create a folder in %1: %2").arg(root, errnoText()));
    const QString staging = QFile::decodeName(temp);
    const auto fail = [&](const QString& why) {
        removeTree(staging);
        return std::unexpected(why);
    };
    for (const QString& name : bundle.checksums.keys())
        if (auto copied = copyFileSynced(bundle.folder + QLatin1Char('/') + name, staging + QLatin1Char('/') + name); !copied)
            return fail(copied.error());
    // The copy is what will be served, so the copy is what must match what was checked.
    auto copy = ModelBundle::read(staging);
    if (!copy)
        return fail(copy.error());
    if (copy->checksums != bundle.checksums)
        return fail(QStringLiteral("%1 changed while it was being copied; it will be read again at the next start").arg(bundle.folder));
    syncDirectory(staging);
    if (::rename(temp.constData(), QFile::encodeName(target).constData()) != 0)
        return fail(QStringLiteral("cannot move the copy to %1: %2").arg(target, errnoText()));
    syncDirectory(root);
    return snapshotOf(bundle, target);
}

void ModelStore::forgetUnpinnedCopies() const {
    QStringList pinned;
    for (const auto* s : {&m_pins.production, &m_pins.stagedUpdate})
        if (*s)
            pinned << (*s)->stagedBundlePath;
    for (const auto& s : m_pins.previous)
        pinned << s.stagedBundlePath;
    if (m_running)
        pinned << m_running->stagedBundlePath;
    const QDir root(modelsFolder(m_store));
    for (const QFileInfo& entry : root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        if (!pinned.contains(entry.absoluteFilePath()))
            removeTree(entry.absoluteFilePath());
}

ClientModelStatus ModelStore::status() const {
    std::lock_guard lock(m_mutex);
    ClientModelStatus s;
    s.running = m_running;
    s.detectedSource = m_detected;
    s.pinState = m_pins;
    s.updateAvailable = m_pins.stagedUpdate.has_value();
    const QString runningSha = m_running ? m_running->modelSha256 : QString();
    const QString productionSha = m_pins.production ? m_pins.production->modelSha256 : QString();
    s.restartRequired = runningSha != productionSha;
    return s;
}

std::expected<void, Refusal> ModelStore::save(const ClientModelPinState& pins) {
    if (auto saved = m_store.save(QLatin1StringView(pinsFile), pins); !saved)
        return std::unexpected(
            Refusal{500, QStringLiteral("could not save the model pins: %1").arg(saved.error())});
    m_pins = pins;
    return {};
}

std::expected<ClientModelStatus, Refusal> ModelStore::promote() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_pins.stagedUpdate)
            return std::unexpected(Refusal{409, QStringLiteral("there is no staged model to promote")});
        ClientModelPinState next = m_pins;
        if (next.production)
            next.previous.insert(next.previous.begin(), *next.production);
        next.production = next.stagedUpdate;
        next.stagedUpdate.reset();
        if (next.previous.size() > maxPrevious)
            next.previous.resize(maxPrevious);
        if (auto saved = save(next); !saved)
            return std::unexpected(saved.error());
    }
    return status();
}

std::expected<ClientModelStatus, Refusal> ModelStore::rollback() {
    {
        std::lock_guard lock(m_mutex);
        if (m_pins.previous.empty())
            return std::unexpected(
                Refusal{409, QStringLiteral("there is no previous model to roll back to")});
        ClientModelPinState next = m_pins;
        next.stagedUpdate = next.production;
        next.production = next.previous.front();
        next.previous.erase(next.previous.begin());
        if (auto saved = save(next); !saved)
            return std::unexpected(saved.error());
    }
    return status();
}

} // namespace tavrin
