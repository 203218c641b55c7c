#pragma once

#include <QWidget>

class QLabel;

namespace tavrin {

class TRCopyButton;
class TRElidedText;

struct KVRowOptions {
    bool monospaced = false;
    bool copyable = false;
    int labelWidth = 120;
    // What the copy button is called; "Copy " and the label unless given.
    QString copyName = {};
};

// A label/value line of a details list, with an optional copy button:
//   new KVRow("PID", "4242", {.monospaced = true, .copyable = true, .labelWidth = 130})
// The value is read, selected and copied whole, also where it is shown cut (TRElidedText).
class KVRow : public QWidget {
    Q_OBJECT
public:
    KVRow(const QString& label, const QString& value, KVRowOptions options = {}, QWidget* parent = nullptr);

    // `whole`: the whole value where `value` is a rule's cut form of it (a hash's first 32 characters
    // and "…"), which is what a reader reads and the copy button copies.
    void setValue(const QString& value, const QString& whole = {});
    void setLabel(const QString& label);

    QString label() const { return m_label; }
    // The value as shown, before any cut to the width.
    QString value() const;
    TRElidedText* valueText() const { return m_valueView; }
    // nullptr unless the row is copyable.
    TRCopyButton* copyButton() const { return m_copy; }

signals:
    void copied(const QString& value);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString m_label;
    QLabel* m_labelView;
    TRElidedText* m_valueView;
    TRCopyButton* m_copy = nullptr;
};

} // namespace tavrin
