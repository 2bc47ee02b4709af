// ペルモロプラス: an arithmetic drill for children. Three sums fall down the
// window; click the right answer before they reach the bottom.
#include "program.h"

#include "screens/qt/fonts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The program takes no command line: Qt sees only the program's name.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    app.setQuitOnLastWindowClosed(false);
    screens::registerBundledFonts();

    Program program;
    program.start();
    return app.exec();
}
