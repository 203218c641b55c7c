// The kit's values that screens rely on without a window: the icon table against the real icon font,
// and the theme's type and palette.
#include "KitTestMain.h"

#include "ui/kit/Icons.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>

#include <algorithm>

using namespace tavrin;

class IconTableTest : public QObject {
    Q_OBJECT
private slots:
    // Each name once, each on a glyph the font really has, drawn as ink in the asked colour.
    void everySymbolMapsToAGlyphTheFontReallyHas() {
        QRawFont raw(Theme::symbolFontPath(), 24);
        QVERIFY2(raw.isValid(), qPrintable(Theme::symbolFontPath()));
        const QFontMetrics metrics(Theme::symbolFont(24));
        QSet<QString> seen;
        for (const SymbolGlyph& entry : icons::table()) {
            QVERIFY2(!seen.contains(entry.symbol), entry.symbol);
            seen.insert(entry.symbol);
            QVERIFY2(raw.supportsCharacter(entry.codepoint), entry.symbol);
            QVERIFY2(metrics.inFontUcs4(entry.codepoint), entry.symbol);
            // Drawn as ink in the asked colour: every opaque pixel red, and enough of them to see.
            const QImage image = icons::pixmap(QString::fromLatin1(entry.symbol), 24, Qt::red, 1).toImage();
            QList<QColor> inked;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y).alpha() > 200)
                        inked << image.pixelColor(x, y);
            QVERIFY2(inked.size() > 15, entry.symbol);
            QVERIFY2(
                std::ranges::all_of(inked, [](const QColor& c) { return c.red() > 200 && c.green() < 60; }),
                entry.symbol);
        }
    }

    // The glyph names are for readers; the codepoints must be the ones the font gives those names.
    void codepointsAreTheFontsOwnForTheNamedGlyphs() {
        QFile variables("/usr/share/fonts-materialdesignicons-webfont/scss/_variables.scss");
        QVERIFY2(variables.open(QIODevice::ReadOnly),
                 "the icon font's package (scripts/bootstrap.sh) is not installed");
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

    void anUnknownSymbolDrawsNothingAndSaysSo() {
        QTest::ignoreMessage(QtWarningMsg, "Unknown symbol name \"no.such.symbol\"");
        QVERIFY(icons::glyph(u"no.such.symbol").isEmpty());
        QVERIFY(!icons::codepoint(u"no.such.symbol"));
    }
};

class ThemeTest : public QObject {
    Q_OBJECT
private slots:
    // Sizes are logical pixels. Qt 6.4 matches fontconfig faces at whole pixel sizes, so a half-pixel
    // size lands on the next pixel, never on a size in another unit (13.5 points at 96 dpi is 18 pixels).
    // Every weight finds its own face of Inter; the mono and icon families are the bundled ones.
    void textFindsItsOwnFaceAtItsSizeInLogicalPixels() {
        const std::pair<qreal, int> sizes[] = {{28.0, 28}, {9.5, 10}, {12.4, 12}, {12.5, 13}, {13.5, 14}};
        for (const auto& [pixels, resolved] : sizes)
            for (const QFont& font : {Theme::font(pixels), Theme::mono(pixels)})
                QCOMPARE(QFontInfo(font).pixelSize(), resolved);
        using enum FontWeight;
        for (const FontWeight weight : {regular, medium, semibold, bold, heavy, black}) {
            const QFontInfo face(Theme::font(13, weight));
            QCOMPARE(face.family() + " " + QString::number(face.weight()),
                     "Inter " + QString::number(int(weight)));
        }
        QCOMPARE(QFontInfo(Theme::mono(13)).family(), QStringLiteral("JetBrains Mono"));
        QVERIFY(QFontInfo(Theme::mono(13)).fixedPitch());
        QCOMPARE(QFontInfo(Theme::symbolFont(13)).family(), QStringLiteral("Material Design Icons"));
    }

    void applyingTheThemeReplacesADarkDesktopPalette() {
        QPalette dark;
        dark.setColor(QPalette::Window, Qt::black);
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        QApplication::setPalette(dark);
        Theme::apply(*qApp);
        const std::pair<QPalette::ColorRole, QColor> roles[] = {{QPalette::Window, Theme::canvas()},
                                                                {QPalette::WindowText, Theme::ink()},
                                                                {QPalette::Base, Theme::surface()},
                                                                {QPalette::Text, Theme::ink()}};
        for (auto group : {QPalette::Active, QPalette::Inactive})
            for (const auto& [role, colour] : roles)
                QCOMPARE(QApplication::palette().color(group, role), colour);
        QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Inter"));
    }
};

int main(int argc, char** argv) { return runKitTests<IconTableTest, ThemeTest>(argc, argv); }

#include "KitValuesTest.moc"
