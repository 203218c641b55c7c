#pragma once

#include <QWidget>

class QLabel;

namespace tavrin {

class CopyButton;

struct EndpointBoxOptions {
    bool dashed = false;
    bool muted = false;
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
    bool isDashed() const { return options_.dashed; }
    bool isMuted() const { return options_.muted; }
    CopyButton* copyButton() const { return copy_; }

signals:
    void copied(const QString& url);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    EndpointBoxOptions options_;
    QLabel* label_;
    QLabel* url_;
    CopyButton* copy_;
};

} // namespace tavrin
