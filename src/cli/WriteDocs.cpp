// Writes what the build installs beside tavrinctl, from its command table:
//   tavrinctl-docs man FILE               the man page, as roff
//   tavrinctl-docs bash-completion FILE   the bash completion script
#include "cli/CommandHelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString what = arguments.value(1);
    QString text;
    if (what == QLatin1String("man"))
        text = tavrin::cli::manPage(QStringLiteral(TAVRIN_VERSION));
    else if (what == QLatin1String("bash-completion"))
        text = tavrin::cli::bashCompletion();
    if (text.isEmpty() || arguments.size() != 3) {
        std::fputs("usage: tavrinctl-docs man|bash-completion FILE\n", stderr);
        return 2;
    }
    QFile file(arguments[2]);
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0 || !file.flush()) {
        std::fprintf(stderr, "tavrinctl-docs: %s: %s\n", qPrintable(arguments[2]), qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
