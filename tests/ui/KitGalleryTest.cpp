// The gallery renders every page of the kit to real PNG files without a display, and every kind of
// control the keyboard reaches with and without its focus ring.
#include "KitTestMain.h"

#include "ui/gallery/KitGallery.h"

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace tavrin;

class KitGalleryTest : public QObject {
    Q_OBJECT
private slots:
    void everyPageIsWrittenAsAPictureWithSomethingOnIt() {
        QTemporaryDir dir;
        const auto written = renderKitGallery(dir.filePath("gallery"));
        QVERIFY2(written.has_value(), written ? "" : qPrintable(written.error()));
        const QStringList pages = written->filter(QRegularExpression("/gallery/[^/]+\\.png$"));
        QVERIFY(pages.size() >= 10);
        for (const QString& file : pages) {
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

        // Each picture of a focused control holds it twice, unfocused and focused, in two cells of one
        // size: the two must differ, or a keyboard user could not see where they are.
        QStringList kinds;
        for (const QString& file : written->filter("/gallery/focus/")) {
            const QImage pair(file);
            const int half = pair.width() / 2;
            QVERIFY2(!pair.isNull() && half > 0, qPrintable(file));
            QVERIFY2(pair.copy(0, 0, half, pair.height()) != pair.copy(half, 0, half, pair.height()),
                     qPrintable(file));
            kinds << QFileInfo(file).baseName();
        }
        for (const char* kind :
             {"TRButton", "TRIconButton", "TRCopyButton", "KeldmarchSwitch", "TRCheckBox",
              "TRDisclosureHeader", "ModeCard", "TRNetMapButton", "TRSegment", "SidebarItem", "MBItem",
              "TRTextField", "TRTextEditor", "TRElidedText", "TRValueLabel"})
            QVERIFY2(kinds.contains(kind), qPrintable(QString(kind) + " not among " + kinds.join(", ")));
    }
};

int main(int argc, char** argv) { return runKitTests<KitGalleryTest>(argc, argv); }

#include "KitGalleryTest.moc"
