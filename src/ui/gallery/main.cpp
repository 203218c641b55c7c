// Renders the visual kit to PNG files: tavrin-kit-gallery DIR
#include "ui/gallery/KitGallery.h"
#include "ui/kit/Theme.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavrin::Theme::apply(app);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tavrin-kit-gallery DIR\n");
        return 2;
    }
    const auto result = tavrin::renderKitGallery(args.at(1));
    if (!result) {
        std::fprintf(stderr, "%s\n", qPrintable(result.error()));
        return 1;
    }
    for (const QString& file : *result)
        std::printf("%s\n", qPrintable(file));
    return 0;
}
