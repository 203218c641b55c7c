#pragma once

#include "ui/kit/TRPill.h"

#include <QStringList>
#include <QWidget>

class QLabel;

namespace tavrin {

class TRButton;

// What a key's row shows, decided by its screen.
struct KeyListRowContent {
    QString label;
    QString status;                       // the status pill's label
    PillKind statusKind = PillKind::muted;
    QString scope;                        // the scope pill's label; empty for no pill
    QStringList usage;                    // the parts of the second line, left to right
    bool revocable = false;               // whether "Revoke" is offered
    bool operator==(const KeyListRowContent&) const = default;
};

// One key of a key list: its label and pills over a monospaced usage line, and the buttons that act on
// it: "Revoke" (while revocable), "Rotate" and a trash button. Each button's name says which key it acts
// on ("Revoke key My laptop"), since a screen reader meets it apart from the row's texts.
class KeyListRow : public QWidget {
    Q_OBJECT
public:
    explicit KeyListRow(const KeyListRowContent& content, QWidget* parent = nullptr);

    // Changes only what differs, so that the row's buttons keep focus and hover across polls.
    void setContent(const KeyListRowContent& content);
    const KeyListRowContent& content() const { return m_content; }

    TRButton* revokeButton() const { return m_revoke; }
    TRButton* rotateButton() const { return m_rotate; }
    TRButton* deleteButton() const { return m_delete; }

signals:
    void revokeRequested();
    void rotateRequested();
    void deleteRequested();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void apply(const KeyListRowContent& content);

    KeyListRowContent m_content;
    QLabel* m_label;
    TRPill* m_status;
    TRPill* m_scope;
    QList<QLabel*> m_usage;
    QWidget* m_usageLine;
    TRButton* m_revoke;
    TRButton* m_rotate;
    TRButton* m_delete;
};

} // namespace tavrin
