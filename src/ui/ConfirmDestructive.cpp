#include "ui/ConfirmDestructive.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tavrin {

QMessageBox* confirmDestructive(QWidget* parent, const QString& question, const QString& detail,
                                const QString& confirm, std::function<void()> onConfirmed) {
    auto* box = new QMessageBox(QMessageBox::Warning, question, question, QMessageBox::NoButton, parent);
    box->setInformativeText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* act = box->addButton(confirm, QMessageBox::DestructiveRole);
    QPushButton* cancel =
        box->addButton(QCoreApplication::translate("ConfirmDestructive", "Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    QObject::connect(act, &QPushButton::clicked, parent, std::move(onConfirmed));
    box->open();
    return box;
}

} // namespace tavrin
