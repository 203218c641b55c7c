#include "ui/kit/TRTextEditor.h"

#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>
#include <QPainter>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tavrin {

TRTextEditor::TRTextEditor(int minHeight, bool monospaced, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    // 8 on each side; the document keeps a further 4 of its own margin, which is taken off here.
    layout->setContentsMargins(4, 4, 4, 4);
    editor_ = new QPlainTextEdit(this);
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    editor_->document()->setDocumentMargin(4);
    editor_->viewport()->setAutoFillBackground(false);
    editor_->setAutoFillBackground(false);
    QPalette p = editor_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, Qt::transparent);
        p.setColor(group, QPalette::Window, Qt::transparent);
        p.setColor(group, QPalette::Text, Theme::ink());
        p.setColor(group, QPalette::PlaceholderText, Theme::alpha(Theme::inkMuted(), 0.65));
    }
    editor_->setPalette(p);
    editor_->installEventFilter(this);
    editor_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    layout->addWidget(editor_);
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        updateGeometry();
        emit textChanged(editor_->toPlainText());
    });
    setFocusProxy(editor_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setMonospaced(monospaced);
    setMinHeight(minHeight);
}

QString TRTextEditor::text() const { return editor_->toPlainText(); }

void TRTextEditor::setText(const QString& text) {
    if (text != editor_->toPlainText())
        editor_->setPlainText(text);
}

void TRTextEditor::setMonospaced(bool monospaced) {
    editor_->setFont(monospaced ? Theme::mono(12.5, FontWeight::medium) : Theme::font(13, FontWeight::medium));
}

void TRTextEditor::setMinHeight(int minHeight) {
    minHeight_ = minHeight;
    updateGeometry();
}

QSize TRTextEditor::sizeHint() const {
    constexpr int kMaxLines = 12;
    const int lines = std::clamp(editor_->document()->lineCount(), 1, kMaxLines);
    const int text = lines * QFontMetrics(editor_->font()).lineSpacing();
    const int chrome = 2 * 4 + 2 * int(editor_->document()->documentMargin()) + 2;
    return {200, std::max(minHeight_, text + chrome)};
}

QSize TRTextEditor::minimumSizeHint() const { return {60, minHeight_}; }

void TRTextEditor::setPlaceholderText(const QString& text) { editor_->setPlaceholderText(text); }

bool TRTextEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update();
    return QWidget::eventFilter(watched, event);
}

void TRTextEditor::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor border =
        editor_->hasFocus() ? Theme::alpha(Theme::brandTealDeep(), 0.7) : Theme::alpha(Theme::ink(), 0.18);
    paintRoundedBox(p, rect(), 7, Theme::surface(), border, 1);
}

} // namespace tavrin
