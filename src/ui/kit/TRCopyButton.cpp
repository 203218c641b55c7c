#include "ui/kit/TRCopyButton.h"

#include "ui/kit/Icons.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <cmath>

namespace tavrin {

TRCopyButton::TRCopyButton(const QString& name, qreal textSize, QWidget* parent)
    : QAbstractButton(parent), m_textSize(textSize) {
    setAccessibleName(name);
    setToolTip(tr("Copy"));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &TRCopyButton::copy);
}

QSize TRCopyButton::sizeHint() const {
    const int side = int(std::ceil(TRSymbol::glyphPixels(m_textSize))) + 8;
    return {side, side};
}

void copyText(const QString& text) {
    auto* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void copySecretText(const QString& text, std::chrono::milliseconds lifetime) {
    auto* clipboard = QGuiApplication::clipboard();
    auto* data = new QMimeData;
    data->setText(text);
    // The hint clipboard managers read to leave an entry out of their history.
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    clipboard->clear();
    clipboard->setMimeData(data);
    // Only what this copy put there is taken away: a later copy, ours or another program's,
    // replaces (and so deletes) the data handed over here.
    QTimer::singleShot(lifetime, clipboard, [clipboard, ours = QPointer<QMimeData>(data)] {
        if (ours && clipboard->mimeData() == ours)
            clipboard->clear();
    });
}

void TRCopyButton::copy() {
    copyText(m_payload);
    emit copied(m_payload);
}

void TRCopyButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void TRCopyButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (underMouse() || isDown())
        paintRoundedBox(p, rect(), 5, Theme::alpha(Theme::ink(), isDown() ? 0.10 : 0.05), Qt::transparent, 0);
    if (hasFocus())
        paintFocusRing(p, rect(), 5);
    p.setFont(Theme::symbolFont(TRSymbol::glyphPixels(m_textSize)));
    p.setPen(underMouse() ? Theme::ink() : Theme::inkMuted());
    p.drawText(QRectF(rect()), Qt::AlignCenter, icons::glyph(u"doc.on.doc"));
}

} // namespace tavrin
