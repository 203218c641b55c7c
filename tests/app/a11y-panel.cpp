// The panel as the accessibility walk meets it: the application built as main.cpp builds it, on the
// admin port the test chose, starting the server through the test's own bundle, polling every second
// so that the walk need not wait long for each phase; and beside it a window with every page of the kit
// gallery, so that every component is walked in its states, new ones included. Given a fifth
// argument, it is a first launch instead: setup in the window, judging this machine.
//   tavrin-a11y-panel BUNDLE ADMIN_PORT LOG_FOLDER [first-launch]
#include "app/TavrinServerApp.h"
#include "control/DaemonProcessController.h"
#include "ui/gallery/KitGallery.h"
#include "ui/kit/Theme.h"

#include <QApplication>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace tavrin;

int main(int argc, char** argv) {
    QGuiApplication::setDesktopSettingsAware(false);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch"));
    QApplication::setQuitOnLastWindowClosed(false);
    Theme::apply(app);
    const QStringList args = QApplication::arguments();
    if (args.size() != 4 && args.size() != 5)
        return 2;

    DaemonProcessControllerOptions process;
    process.bundlePath = args[1];
    process.requiredBundlePath = args[1]; // installed where start at login wants it
    process.standardOutputLog = args[3] + QStringLiteral("/out.log");
    process.standardErrorLog = args[3] + QStringLiteral("/err.log");
    AppOptions options;
    options.model.baseURL = QUrl(QStringLiteral("http://127.0.0.1:") + args[2]);
    options.model.process = std::make_shared<DaemonProcessController>(process);
    const bool firstLaunch = args.size() == 5;
    TavrinServerApp shell(options);
    QObject::connect(&shell, &TavrinServerApp::finished, &app, &QCoreApplication::quit);
    shell.state().setPollIntervalSeconds(1);
    // The walk is over the tabs, and setup's components are walked on the gallery's setup page; a first
    // launch walks setup itself, step by step.
    if (!firstLaunch)
        shell.state().setHasCompletedFirstRun(true);
    shell.openMainWindow();

    QScrollArea gallery;
    gallery.setWindowTitle(QStringLiteral("Kit gallery"));
    auto* pages = new QWidget;
    auto* column = new QVBoxLayout(pages);
    for (std::unique_ptr<QWidget>& page : kitGalleryPages())
        column->addWidget(page.release());
    gallery.setWidget(pages);
    gallery.setWidgetResizable(true);
    gallery.setFocusPolicy(Qt::NoFocus); // as TabContent's page: Tab goes to the controls, not the page
    gallery.resize(1000, 700);
    gallery.show();
    return app.exec();
}
