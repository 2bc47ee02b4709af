// The game window built offscreen for tests that look at what it draws.
#pragma once

#include "game/form1.h"
#include "platform/qt/qt_window.h"
#include "support/rules_only.h"
#include "support/scripted_random.h"

#include <QImage>
#include <cstdlib>

namespace testing {

inline const QColor kWhite(0xFF, 0xFF, 0xFF), kPeach(0xFF, 0xE0, 0xC0), kYellow(0xFF, 0xFF, 0xC0),
    kCyan(0xC0, 0xFF, 0xFF), kGreen(0xC0, 0xFF, 0xC0), kLavender(0xC0, 0xC0, 0xFF), kOrange(0xFF, 0x80, 0x00),
    kPink(0xFF, 0xC0, 0xC0), kBlue(0x00, 0x00, 0xFF);

inline QRect designRect(const forms::ControlSpec& d)
{
    return QRect(static_cast<int>(d.rect.left), static_cast<int>(d.rect.top), static_cast<int>(d.rect.width),
                 static_cast<int>(d.rect.height));
}

// The bounding box of the pixels of one colour (give or take `tolerance`
// in each channel) within an area.
inline QRect pixelsOf(const QImage& image, QColor colour, QRect area, int tolerance = 0)
{
    QRect box;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - colour.red()) <= tolerance && std::abs(p.green() - colour.green()) <= tolerance &&
                std::abs(p.blue() - colour.blue()) <= tolerance)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

struct GameWindow {
    ScriptedRandom random;
    game::Form1 form{random};
    RulesOnly rules{form};
    platform::QtWindow view{rules};

    const game::Form1::Controls& c() const { return form.controls(); }
    QRect design(forms::ControlId id) const { return designRect(form.model().design(id)); }

    // The window as the screen shows it, in device pixels.
    QImage grab()
    {
        view.mirror();
        return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

}  // namespace testing
