// vantrelle-cli: the tune files, the box and the DAQ from the command line,
// built on the same library as the application.

#include "CliCommon.h"

#include <QCoreApplication>

namespace {

const char *const HelpText =
    "Usage: vantrelle-cli [OPTIONS] COMMAND [ARGS]\n"
    "\n"
    "Tune files:\n"
    "  show FILE.vnt                 print the tune as JSON (raw values)\n"
    "  pack IN.json OUT.vnt          write a project file from JSON of the same shape\n"
    "  extract IMAGE.bin OUT.vnt     the tune regions of a raw image as a project file\n"
    "  patch IN.vnt BASE.bin OUT.bin BASE with every tune region replaced from IN\n"
    "  stock NUMBER OUT.bin          copy stock image NUMBER (105, 104, 103, 101)\n"
    "                                out of the resource module vntres.dll\n"
    "\n"
    "Options:\n"
    "  --help                        show this text\n"
    "\n"
    "Every command exits 0 on success. On failure it prints one message on stderr,\n"
    "exits non-zero and leaves its output file untouched.\n";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList words = app.arguments().mid(1);
    cli::Options options;
    QString command;
    QStringList args;
    for (int i = 0; i < words.size(); ++i) {
        const QString &w = words[i];
        if (w == QLatin1String("--help") || w == QLatin1String("-h")) {
            std::fputs(HelpText, stdout);
            return cli::ExitOk;
        }
        if (command.isEmpty() && w.startsWith(QLatin1String("--")))
            return cli::usage(QStringLiteral("unknown option %1").arg(w));
        if (command.isEmpty())
            command = w;
        else
            args << w;
    }
    if (command.isEmpty())
        return cli::usage(QStringLiteral("no command given"));

    for (auto run : {cli::runModelCommand}) {
        const int status = run(command, args, options);
        if (status >= 0)
            return status;
    }
    return cli::usage(QStringLiteral("unknown command %1").arg(command));
}
