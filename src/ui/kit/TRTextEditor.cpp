#include "ui/kit/TRTextEditor.h"

#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRScrollBar.h"
#include "ui/kit/Theme.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <QPainter>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr int kFrameInset = 4;
}

TRTextEditor::TRTextEditor(int minHeight, bool monospaced, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    // 8 on each side; the document keeps a further 4 of its own margin, which is taken off here.
    layout->setContentsMargins(kFrameInset, kFrameInset, kFrameInset, kFrameInset);
    m_editor = new QPlainTextEdit(this);
    m_editor->setFrameShape(QFrame::NoFrame);
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TRScrollBar::install(m_editor);
    m_editor->document()->setDocumentMargin(4);
    m_editor->viewport()->setAutoFillBackground(false);
    m_editor->setAutoFillBackground(false);
    QPalette p = m_editor->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, Qt::transparent);
        p.setColor(group, QPalette::Window, Qt::transparent);
        p.setColor(group, QPalette::Text, Theme::ink());
        p.setColor(group, QPalette::PlaceholderText, Theme::alpha(Theme::inkMuted(), 0.65));
    }
    m_editor->setPalette(p);
    m_editor->installEventFilter(this);
    m_editor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    layout->addWidget(m_editor);
    connect(m_editor, &QPlainTextEdit::textChanged, this, [this] {
        updateGeometry();
        emit textChanged(m_editor->toPlainText());
    });
    setFocusProxy(m_editor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setMonospaced(monospaced);
    setMinHeight(minHeight);
}

QString TRTextEditor::text() const { return m_editor->toPlainText(); }

void TRTextEditor::setText(const QString& text) {
    if (text != m_editor->toPlainText())
        m_editor->setPlainText(text);
}

void TRTextEditor::setMonospaced(bool monospaced) {
    m_editor->setFont(Theme::font(monospaced ? TextRole::monoValue : TextRole::bodyMedium));
}

void TRTextEditor::setMinHeight(int minHeight) {
    m_minHeight = minHeight;
    updateGeometry();
}

QSize TRTextEditor::sizeHint() const {
    constexpr int kMaxLines = 12;
    const int lines = std::clamp(m_editor->document()->lineCount(), 1, kMaxLines);
    // The editor lays each line out at its spacing rounded up, keeps the document's margin above and
    // below, and counts a line as shown only with one more pixel beneath it: anything less and three
    // lines that fit would bring up a scroll bar for the last pixel of the third.
    const int line = int(std::ceil(QFontMetricsF(m_editor->font()).lineSpacing()));
    const int chrome = 2 * kFrameInset + 2 * int(m_editor->document()->documentMargin()) + 1;
    return {200, std::max(m_minHeight, lines * line + chrome)};
}

QSize TRTextEditor::minimumSizeHint() const { return {60, m_minHeight}; }

void TRTextEditor::setPlaceholderText(const QString& text) { m_editor->setPlaceholderText(text); }

bool TRTextEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update();
    return QWidget::eventFilter(watched, event);
}

void TRTextEditor::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 7, Theme::surface(), Theme::alpha(Theme::ink(), 0.18), 1);
    if (m_editor->hasFocus())
        paintFocusRing(p, rect(), 7);
}

} // namespace tavrin
