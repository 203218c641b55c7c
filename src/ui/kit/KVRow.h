#pragma once

#include <QWidget>

class QLabel;

namespace tavrin {

class TRCopyButton;

struct KVRowOptions {
    bool monospaced = false;
    bool copyable = false;
    int labelWidth = 120;
    // What the copy button is called; "Copy " and the label unless given.
    QString copyName = {};
};

// A label/value line of a details list, with an optional copy button:
//   new KVRow("PID", "4242", {.monospaced = true, .copyable = true, .labelWidth = 130})
class KVRow : public QWidget {
    Q_OBJECT
public:
    KVRow(const QString& label, const QString& value, KVRowOptions options = {}, QWidget* parent = nullptr);

    void setValue(const QString& value);
    void setLabel(const QString& label);

    QString label() const { return m_label; }
    QString value() const;
    // nullptr unless the row is copyable.
    TRCopyButton* copyButton() const { return m_copy; }

signals:
    void copied(const QString& value);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString m_label;
    QLabel* m_labelView;
    QLabel* m_valueView;
    TRCopyButton* m_copy = nullptr;
};

} // namespace tavrin
