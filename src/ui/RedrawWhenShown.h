#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace tavrin {

// Spares a view the work of following the model while nobody can see it: the tray panel hidden
// after its last use, a window closed to the tray or minimised. A view that was never shown follows
// every change (it is being built or laid out off screen), so hosts and renders see it current.
//
// The view asks now() before redrawing a part. While hidden the answer is no, and the view owes its
// whole redraw, which `redrawAll` does once, as the view comes back on screen.
class RedrawWhenShown : public QObject {
public:
    RedrawWhenShown(QWidget* view, std::function<void()> redrawAll) : QObject(view), m_view(view), m_redrawAll(std::move(redrawAll)) {
        view->installEventFilter(this);
    }

    bool now() {
        if (!m_asleep)
            return true;
        m_owed = true;
        return false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_view)
            return false;
        if (event->type() == QEvent::Hide) {
            m_asleep = true;
        } else if (event->type() == QEvent::Show) {
            m_asleep = false;
            if (m_owed) {
                m_owed = false;
                m_redrawAll();
            }
        }
        return false;
    }

private:
    QPointer<QWidget> m_view;
    std::function<void()> m_redrawAll;
    bool m_asleep = false;
    bool m_owed = false;
};

} // namespace tavrin
