// The gallery renders every page of the kit to real PNG files without a display.
#include "KitTestMain.h"

#include "ui/gallery/KitGallery.h"

#include <QImage>
#include <QTemporaryDir>

using namespace tavrin;

class KitGalleryTest : public QObject {
    Q_OBJECT
private slots:
    void everyPageIsWrittenAsAPictureWithSomethingOnIt() {
        QTemporaryDir dir;
        const auto written = renderKitGallery(dir.filePath("gallery"));
        QVERIFY2(written.has_value(), written ? "" : qPrintable(written.error()));
        QVERIFY(written->size() >= 10);
        for (const QString& file : *written) {
            QImage image(file);
            QVERIFY2(!image.isNull(), qPrintable(file));
            QVERIFY2(image.width() >= 300 && image.height() >= 100, qPrintable(file));
            // More than the canvas: count pixels that differ from the background colour.
            const QColor canvas = Theme::canvas();
            int drawn = 0;
            for (int y = 0; y < image.height(); y += 3)
                for (int x = 0; x < image.width(); x += 3)
                    drawn += image.pixelColor(x, y) != canvas;
            QVERIFY2(drawn > 200, qPrintable(file));
        }
    }
};

int main(int argc, char** argv) { return runKitTests<KitGalleryTest>(argc, argv); }

#include "KitGalleryTest.moc"
