#pragma once

#include <QWidget>

class QLabel;

namespace tavrin {

class TRCopyButton;

struct EndpointBoxOptions {
    bool dashed = false;
    bool muted = false;
    // What the copy button is called; "Copy " and the label unless given.
    QString copyName = {};
};

// An endpoint URL with its caption and a copy button; dashed and muted when the endpoint is off.
class EndpointBox : public QWidget {
    Q_OBJECT
public:
    EndpointBox(const QString& label, const QString& url, EndpointBoxOptions options = {},
                QWidget* parent = nullptr);

    void setLabel(const QString& label);
    void setUrl(const QString& url);
    void setDashed(bool dashed);
    void setMuted(bool muted);

    QString url() const;
    bool isDashed() const { return m_options.dashed; }
    bool isMuted() const { return m_options.muted; }
    TRCopyButton* copyButton() const { return m_copy; }

signals:
    void copied(const QString& url);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    EndpointBoxOptions m_options;
    QLabel* m_label;
    QLabel* m_url;
    TRCopyButton* m_copy;
};

} // namespace tavrin
