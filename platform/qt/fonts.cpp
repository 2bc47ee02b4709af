#include "fonts.h"

#include <QFontDatabase>

namespace platform {

bool registerBundledFonts()
{
    bool ok = true;
    for (const char* file : {":/fonts/BIZUDGothic-Regular.subset.ttf", ":/fonts/BIZUDGothic-Bold.subset.ttf"})
        ok = QFontDatabase::addApplicationFont(QString::fromLatin1(file)) >= 0 && ok;
    return ok;
}

}  // namespace platform
