#include "ui/StatusScreens.h"

#include "ui/kit/TabContent.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/TabCatalogue.h"
#include "ui/tray/TrayPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QLayout>
#include <QScrollArea>

#include <memory>

namespace tavrin {

namespace {

constexpr int kTabWidth = 860;

// Shows `screen` on a stage without a layout (so sizing it never touches a window's limits, which
// platforms without a window manager complain about), sized by `size`, and saves it.
std::expected<QString, QString> render(QWidget* screen, QWidget& stage, int width, int (*height)(QWidget*),
                                       const QString& file) {
    stage.setAttribute(Qt::WA_DontShowOnScreen);
    screen->setParent(&stage);
    screen->resize(width, 100);
    screen->show();
    stage.show();
    QCoreApplication::sendPostedEvents();
    screen->resize(width, height(screen));
    stage.resize(screen->size());
    QCoreApplication::sendPostedEvents();
    if (!screen->grab().save(file))
        return std::unexpected(QCoreApplication::translate("StatusScreens", "Could not write %1").arg(file));
    return file;
}

int tabHeight(QWidget* screen) {
    auto* tab = static_cast<TabContent*>(screen);
    QWidget* page = tab->scrollArea()->widget();
    page->layout()->activate();
    const int pageHeight = page->hasHeightForWidth() ? page->heightForWidth(kTabWidth) : page->sizeHint().height();
    return pageHeight + 2; // the brand strip above the scroll area
}

int panelHeight(QWidget* screen) { return screen->sizeHint().height(); }

} // namespace

std::expected<QStringList, QString> renderStatusScreens(const QString& dir, ServerStateModel* state,
                                                        const QString& prefix) {
    Theme::loadFonts();
    if (!QDir().mkpath(dir))
        return std::unexpected(QCoreApplication::translate("StatusScreens", "Could not create %1").arg(dir));
    QStringList written;
    {
        QWidget stage;
        const AdminScreen& status = adminTab(AdminTab::status);
        QWidget* tab = status.make(state, status.heading);
        auto file = render(tab, stage, kTabWidth, tabHeight, QDir(dir).filePath(prefix + QStringLiteral("status-tab.png")));
        if (!file)
            return std::unexpected(file.error());
        written << *file;
    }
    {
        QWidget stage;
        auto panel = new TrayPanel(state);
        auto file = render(panel, stage, MBPanel::kWidth, panelHeight,
                           QDir(dir).filePath(prefix + QStringLiteral("tray-panel.png")));
        if (!file)
            return std::unexpected(file.error());
        written << *file;
    }
    return written;
}

} // namespace tavrin
