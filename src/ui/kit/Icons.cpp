#include "ui/kit/Icons.h"

#include "ui/kit/Theme.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>

#include <algorithm>
#include <array>

namespace tavrin::icons {

namespace {

// Chosen by meaning, not by name: the 1.6.50 font has no outline-free "slash" antenna, no circled
// ellipsis and no sparkles, so the nearest glyph of the same meaning stands in.
constexpr std::array<SymbolGlyph, 33> kTable{{
    {"antenna.radiowaves.left.and.right", "access-point", 0xF002},
    {"antenna.radiowaves.left.and.right.slash", "wifi-off", 0xF5AA},
    {"arrow.clockwise", "refresh", 0xF450},
    {"arrow.down.circle", "arrow-down-bold-circle-outline", 0xF048},
    {"arrow.triangle.2.circlepath", "sync", 0xF4E6},
    {"checkmark", "check", 0xF12C},
    {"checkmark.circle.fill", "check-circle", 0xF5E0},
    {"checkmark.seal", "seal", 0xF47A},
    {"cpu", "chip", 0xF61A},
    {"cube", "cube-outline", 0xF1A7},
    {"cube.box", "package-variant-closed", 0xF3D7},
    {"doc.on.doc", "content-copy", 0xF18F},
    {"ellipsis.circle", "dots-horizontal", 0xF1D8},
    {"exclamationmark.triangle.fill", "alert", 0xF026},
    {"folder", "folder", 0xF24B},
    {"gauge.medium", "gauge", 0xF29A},
    {"info.circle", "information-outline", 0xF2FD},
    {"key.fill", "key", 0xF306},
    {"list.bullet.rectangle", "format-list-bulleted", 0xF279},
    {"lock.fill", "lock", 0xF33E},
    {"macwindow", "application", 0xF614},
    {"magnifyingglass", "magnify", 0xF349},
    {"network", "lan", 0xF317},
    {"paperplane.fill", "send", 0xF48A},
    {"play.fill", "play", 0xF40A},
    {"sparkles", "star-circle", 0xF4CF},
    {"square.and.arrow.down", "download", 0xF1DA},
    {"stethoscope", "stethoscope", 0xF4D9},
    {"stop.fill", "stop", 0xF4DB},
    {"trash", "delete", 0xF1C0},
    {"wand.and.stars", "auto-fix", 0xF068},
    {"wifi", "wifi", 0xF5A9},
    {"xmark", "close", 0xF156},
}};

} // namespace

std::span<const SymbolGlyph> table() { return kTable; }

std::optional<char32_t> codepoint(QStringView symbol) {
    const auto it = std::find_if(kTable.begin(), kTable.end(),
                                 [&](const SymbolGlyph& g) { return symbol == QLatin1String(g.symbol); });
    if (it == kTable.end())
        return std::nullopt;
    return it->codepoint;
}

QString glyph(QStringView symbol) {
    const auto cp = codepoint(symbol);
    if (!cp) {
        qWarning("Unknown symbol name \"%s\"", qPrintable(symbol.toString()));
        return {};
    }
    const char32_t ucs4 = *cp;
    return QString::fromUcs4(&ucs4, 1);
}

QPixmap pixmap(QStringView symbol, int size, const QColor& color, qreal devicePixelRatio) {
    if (devicePixelRatio <= 0)
        devicePixelRatio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(QSize(size, size) * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    const QString text = glyph(symbol);
    if (text.isEmpty())
        return pm;
    QPainter p(&pm);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(Theme::symbolFont(size));
    p.setPen(color);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, text);
    return pm;
}

namespace {

constexpr std::array kIconSizes{12, 14, 16, 18, 20, 24, 32};

// Draws the glyph at the size and in the mode asked for, when asked: a tray shows one size of one
// mode, and the other thirteen are never drawn.
class GlyphIconEngine : public QIconEngine {
public:
    GlyphIconEngine(QString symbol, QColor color) : m_symbol(std::move(symbol)), m_color(color) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const int side = std::min(rect.width(), rect.height());
        painter->drawPixmap(QRect(rect.center() - QPoint(side / 2, side / 2), QSize(side, side)),
                            pixmap(QSize(side, side) * painter->device()->devicePixelRatio(), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        return icons::pixmap(m_symbol, std::min(size.width(), size.height()),
                             mode == QIcon::Disabled ? Theme::alpha(m_color, 0.4) : m_color, 1.0);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int side : kIconSizes)
            sizes << QSize(side, side);
        return sizes;
    }
    QString key() const override { return QStringLiteral("tavrin-glyph"); }
    QIconEngine* clone() const override { return new GlyphIconEngine(m_symbol, m_color); }

private:
    QString m_symbol;
    QColor m_color;
};

} // namespace

QIcon icon(QStringView symbol, const QColor& color) { return QIcon(new GlyphIconEngine(symbol.toString(), color)); }

} // namespace tavrin::icons
