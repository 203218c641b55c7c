// tavrin-pseudo-translate IN.ts OUT.ts: the pseudo-language's catalogue source from lupdate's.
#include "PseudoTranslation.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: tavrin-pseudo-translate IN.ts OUT.ts\n");
        return 2;
    }
    QFile in(arguments[1]);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tavrin-pseudo-translate: %s: %s\n", qPrintable(in.fileName()), qPrintable(in.errorString()));
        return 1;
    }
    const auto pseudo = tavrin::pseudoTranslatedCatalogue(in.readAll());
    if (!pseudo) {
        std::fprintf(stderr, "tavrin-pseudo-translate: %s: %s\n", qPrintable(in.fileName()), qPrintable(pseudo.error()));
        return 1;
    }
    QSaveFile out(arguments[2]);
    if (!out.open(QIODevice::WriteOnly) || out.write(*pseudo) != pseudo->size() || !out.commit()) {
        std::fprintf(stderr, "tavrin-pseudo-translate: %s: %s\n", qPrintable(out.fileName()), qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
