#include "app/TavrinServerApp.h"

#include "base/Translations.h"
#include "ui/kit/Theme.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>

int main(int argc, char** argv) {
    // The kit draws the product's own light look; desktop font and colour settings must not leak in.
    QGuiApplication::setDesktopSettingsAware(false);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch"));
    QApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(TAVRIN_APP_ID));
    tavrin::installTranslations(app);
    // The installed icon of the desktop entry, for desktops that take a window's icon from the
    // window itself; a build tree has none, and the windows keep the desktop's default.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(TAVRIN_APP_ID)));
    // Closing the window leaves the application, its tray item and its polling running.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Control panel of the local Tavrin inference server."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption render(
        QStringLiteral("render-screens"),
        QCoreApplication::translate("main", "Render every screen to PNG files in DIR, then exit."),
        QStringLiteral("DIR"));
    const QCommandLineOption simulate(
        QStringLiteral("simulate-host"),
        QCoreApplication::translate(
            "main", "Judge a simulated machine instead of this one, e.g. \"Apple M3 Max:36\" (brand:GiB)."),
        QStringLiteral("BRAND:GIB"));
    parser.addOption(render);
    parser.addOption(simulate);
    parser.process(app);

    tavrin::AppOptions options;
    if (parser.isSet(simulate)) {
        options.simulatedHost = tavrin::parseSimulatedHost(parser.value(simulate));
        if (!options.simulatedHost) {
            std::fprintf(
                stderr,
                "tavrin-keldmarch: --simulate-host takes BRAND:GIB, for example \"Apple M3 Max:36\"\n");
            return 2;
        }
    }

    tavrin::Theme::apply(app);
    tavrin::TavrinServerApp shell(options);
    QObject::connect(&shell, &tavrin::TavrinServerApp::finished, &app, &QCoreApplication::quit);

    if (parser.isSet(render)) {
        // One poll first, so the screens show whatever server answers (or none).
        QCoro::waitFor(shell.state().refresh());
        const QStringList files = shell.renderScreens(parser.value(render));
        for (const QString& file : files)
            std::printf("%s\n", qPrintable(file));
        return files.isEmpty() ? 1 : 0;
    }

    if (!shell.claimSingleInstance())
        return 0;
    shell.openMainWindow();
    return app.exec();
}
