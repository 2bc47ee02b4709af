// ペルモロプラス: an arithmetic drill for children. Three sums fall down the
// window; click the right answer before they reach the bottom.
#include "program.h"

#include "platform/qt/fonts.h"

#include <QApplication>
#include <QDir>
#include <unistd.h>

namespace {

// Screen readers reach the program over the desktop's session bus. Where no
// session bus is named, the bus library would start one by running another
// program; the game starts no programs, so it names the user's usual bus
// instead, which simply is not there on such a desktop.
void neverStartABus()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return;
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QStringLiteral("/run/user/%1").arg(getuid());
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QDir(runtime).filePath(QStringLiteral("bus")).toLocal8Bit());
}

}  // namespace

int main(int argc, char** argv)
{
    neverStartABus();
    // The program takes no command line: Qt sees only the program's name.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    app.setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.permoroplus.PermoroPlus"));
    platform::registerBundledFonts();

    Program program;
    program.start();
    return app.exec();
}
