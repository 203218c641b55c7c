// The kit's values that screens rely on without a window: phase texts and chip kinds, the icon table
// against the real icon font, and the theme's type, palette and gradients.
#include "KitTestMain.h"

#include "ui/kit/Icons.h"
#include "ui/kit/PhaseLabel.h"
#include "ui/kit/StatusChip.h"
#include "ui/kit/Theme.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>

using namespace tavrin;

Q_DECLARE_METATYPE(tavrin::PillKind)
Q_DECLARE_METATYPE(tavrin::FontWeight)

class PhaseLabelTest : public QObject {
    Q_OBJECT
private slots:
    void eachPhaseReadsAsTheProductSaysIt_data() {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<QString>("label");
        QTest::addColumn<PillKind>("chipKind");
        QTest::newRow("unknown") << Phase::unknown() << "Unknown" << PillKind::muted;
        QTest::newRow("probing") << Phase::probing() << "Checking…" << PillKind::muted;
        QTest::newRow("stopped") << Phase::stopped() << "Stopped" << PillKind::muted;
        QTest::newRow("running") << Phase::running() << "Running" << PillKind::ok;
        QTest::newRow("unauthenticated") << Phase::unauthenticated() << "Admin password required" << PillKind::warn;
        QTest::newRow("error") << Phase::error("Server not reachable") << "Error: Server not reachable"
                               << PillKind::bad;
        QTest::newRow("error without message") << Phase::error({}) << "Error: " << PillKind::bad;
    }
    void eachPhaseReadsAsTheProductSaysIt() {
        QFETCH(Phase, phase);
        QFETCH(QString, label);
        QFETCH(PillKind, chipKind);
        QCOMPARE(phaseLabel(phase), label);
        QCOMPARE(statusChipKind(phase), chipKind);
    }

    void statusChipFollowsThePhaseWithADottedPlainLabel() {
        StatusChip chip(Phase::running());
        QCOMPARE(chip.displayedText(), QStringLiteral("Running"));
        chip.setPhase(Phase::error("decode failed"));
        QCOMPARE(chip.displayedText(), QStringLiteral("Error: decode failed"));
        QCOMPARE(chip.kind(), PillKind::bad);
        QCOMPARE(chip.accessibleName(), QStringLiteral("Error: decode failed"));
    }
};

class IconTableTest : public QObject {
    Q_OBJECT
private slots:
    void everySymbolMapsToAGlyphTheFontReallyHas() {
        QRawFont raw(Theme::symbolFontPath(), 24);
        QVERIFY2(raw.isValid(), qPrintable(Theme::symbolFontPath()));
        const QFontMetrics metrics(Theme::symbolFont(24));
        for (const SymbolGlyph& entry : icons::table()) {
            QVERIFY2(entry.codepoint >= 0xF001 && entry.codepoint <= 0xF673, entry.symbol);
            QVERIFY2(raw.supportsCharacter(entry.codepoint), entry.symbol);
            QVERIFY2(metrics.inFontUcs4(entry.codepoint), entry.symbol);
        }
    }

    // The glyph names are for readers; the codepoints must be the ones the font gives those names.
    void codepointsAreTheFontsOwnForTheNamedGlyphs() {
        QFile variables("/usr/share/fonts-materialdesignicons-webfont/scss/_variables.scss");
        if (!variables.open(QIODevice::ReadOnly))
            QSKIP("the icon font's name list is not installed");
        QHash<QString, char32_t> byName;
        const QRegularExpression entry(QStringLiteral("\"([a-z0-9-]+)\":\\s*([0-9A-Fa-f]{4})"));
        for (const auto& m : entry.globalMatch(QString::fromUtf8(variables.readAll())))
            byName.insert(m.captured(1), m.captured(2).toUInt(nullptr, 16));
        QVERIFY(byName.size() > 1000);
        for (const SymbolGlyph& glyph : icons::table()) {
            QVERIFY2(byName.contains(glyph.mdiName), glyph.mdiName);
            QCOMPARE(byName.value(glyph.mdiName), glyph.codepoint);
        }
    }

    void symbolNamesAreListedOnce() {
        QSet<QString> seen;
        for (const SymbolGlyph& entry : icons::table()) {
            QVERIFY2(!seen.contains(entry.symbol), entry.symbol);
            seen.insert(entry.symbol);
        }
    }

    void symbolsTheScreensNameAreInTheTable_data() {
        QTest::addColumn<QString>("symbol");
        for (const char* name :
             {"gauge.medium", "key.fill", "cube.box", "list.bullet.rectangle", "network", "checkmark.seal",
              "arrow.down.circle", "stethoscope", "arrow.clockwise", "ellipsis.circle",
              "antenna.radiowaves.left.and.right", "antenna.radiowaves.left.and.right.slash", "lock.fill",
              "exclamationmark.triangle.fill", "stop.fill", "play.fill", "cube", "cpu", "paperplane.fill",
              "doc.on.doc", "checkmark", "checkmark.circle.fill", "magnifyingglass", "wand.and.stars",
              "arrow.triangle.2.circlepath", "trash", "sparkles", "square.and.arrow.down", "info.circle",
              "folder", "wifi", "macwindow", "xmark"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void symbolsTheScreensNameAreInTheTable() {
        QFETCH(QString, symbol);
        QVERIFY(icons::codepoint(symbol).has_value());
        QCOMPARE(icons::glyph(symbol).toUcs4().size(), 1);
    }

    void everyGlyphDrawsInkInTheAskedColour() {
        for (const SymbolGlyph& entry : icons::table()) {
            const QImage image = icons::pixmap(QString::fromLatin1(entry.symbol), 24, Qt::red, 1).toImage();
            int inked = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.alpha() > 200) {
                        QVERIFY2(c.red() > 200 && c.green() < 60, entry.symbol);
                        ++inked;
                    }
                }
            QVERIFY2(inked > 15, entry.symbol);
        }
    }

    void anUnknownSymbolDrawsNothingAndSaysSo() {
        QTest::ignoreMessage(QtWarningMsg, "Unknown symbol name \"no.such.symbol\"");
        QVERIFY(icons::glyph(u"no.such.symbol").isEmpty());
        QVERIFY(!icons::codepoint(u"no.such.symbol"));
    }
};

class ThemeTest : public QObject {
    Q_OBJECT
private slots:
    void textIsSizedInLogicalPixels_data() {
        QTest::addColumn<qreal>("pixels");
        QTest::newRow("caption") << 10.0;
        QTest::newRow("body") << 13.0;
        QTest::newRow("title") << 28.0;
    }
    void textIsSizedInLogicalPixels() {
        QFETCH(qreal, pixels);
        QCOMPARE(QFontInfo(Theme::font(pixels)).pixelSize(), int(pixels));
        QCOMPARE(QFontInfo(Theme::mono(pixels)).pixelSize(), int(pixels));
    }

    // Qt 6.4 matches fontconfig faces at whole pixel sizes; a half-pixel size lands on the next
    // pixel, never on a size in another unit (13.5 points at 96 dpi would be 18 pixels).
    void fractionalSizesLandOnTheNearestWholePixel_data() {
        QTest::addColumn<qreal>("pixels");
        QTest::addColumn<int>("resolved");
        QTest::newRow("9.5") << 9.5 << 10;
        QTest::newRow("12.4") << 12.4 << 12;
        QTest::newRow("12.5") << 12.5 << 13;
        QTest::newRow("13.5") << 13.5 << 14;
    }
    void fractionalSizesLandOnTheNearestWholePixel() {
        QFETCH(qreal, pixels);
        QFETCH(int, resolved);
        QCOMPARE(QFontInfo(Theme::font(pixels)).pixelSize(), resolved);
        QCOMPARE(QFontInfo(Theme::mono(pixels)).pixelSize(), resolved);
    }

    void familiesAreInterJetBrainsMonoAndTheIconFont() {
        QCOMPARE(QFontInfo(Theme::font(13)).family(), QStringLiteral("Inter"));
        QCOMPARE(QFontInfo(Theme::mono(13)).family(), QStringLiteral("JetBrains Mono"));
        QCOMPARE(QFontInfo(Theme::symbolFont(13)).family(), QStringLiteral("Material Design Icons"));
        QVERIFY(QFontInfo(Theme::mono(13)).fixedPitch());
    }

    void everyWeightFindsItsFace_data() {
        QTest::addColumn<FontWeight>("weight");
        QTest::newRow("regular") << FontWeight::regular;
        QTest::newRow("medium") << FontWeight::medium;
        QTest::newRow("semibold") << FontWeight::semibold;
        QTest::newRow("bold") << FontWeight::bold;
        QTest::newRow("heavy") << FontWeight::heavy;
        QTest::newRow("black") << FontWeight::black;
    }
    void everyWeightFindsItsFace() {
        QFETCH(FontWeight, weight);
        QCOMPARE(QFontInfo(Theme::font(13, weight)).weight(), int(weight));
    }

    void trackingAddsAbsoluteSpaceAfterEachLetter() {
        const QString text = QStringLiteral("SERVER");
        const qreal plain = QFontMetricsF(Theme::mono(10, FontWeight::semibold)).horizontalAdvance(text);
        const qreal tracked = QFontMetricsF(Theme::mono(10, FontWeight::semibold, 1.8)).horizontalAdvance(text);
        QVERIFY2(qAbs(tracked - plain - 6 * 1.8) < 0.6, qPrintable(QString::number(tracked - plain)));
    }

    void applyingTheThemeReplacesADarkDesktopPalette() {
        QPalette dark;
        dark.setColor(QPalette::Window, Qt::black);
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        QApplication::setPalette(dark);
        Theme::apply(*qApp);
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            QCOMPARE(QApplication::palette().color(group, QPalette::Window), Theme::canvas());
            QCOMPARE(QApplication::palette().color(group, QPalette::WindowText), Theme::ink());
            QCOMPARE(QApplication::palette().color(group, QPalette::Base), Theme::surface());
            QCOMPARE(QApplication::palette().color(group, QPalette::Text), Theme::ink());
        }
        QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Inter"));
    }

    // Gradients are in object coordinates, so they run corner to corner on any shape.
    void brandGradientRunsFromTealToPinkOnAnyShape_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide") << QSize(200, 20);
        QTest::newRow("tall") << QSize(20, 200);
    }
    void brandGradientRunsFromTealToPinkOnAnyShape() {
        QFETCH(QSize, size);
        QImage image(size, QImage::Format_ARGB32);
        QPainter(&image).fillRect(image.rect(), QBrush(Theme::brandGradient()));
        auto near = [](QColor a, QColor b) {
            return qAbs(a.red() - b.red()) < 10 && qAbs(a.green() - b.green()) < 10 && qAbs(a.blue() - b.blue()) < 10;
        };
        QVERIFY(near(image.pixelColor(0, 0), Theme::brandTeal()));
        QVERIFY(near(image.pixelColor(size.width() - 1, size.height() - 1), Theme::brandPink()));
    }
};

int main(int argc, char** argv) { return runKitTests<PhaseLabelTest, IconTableTest, ThemeTest>(argc, argv); }

#include "KitValuesTest.moc"
