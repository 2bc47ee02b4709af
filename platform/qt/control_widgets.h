// The widgets that draw a window's controls. They paint exactly what the
// control model holds and keep no state of the game.
#pragma once

#include "forms/layout.h"

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QStaticText>
#include <QWidget>

class QPainter;

namespace platform {

using forms::Colour;
using forms::ControlSpec;
using forms::Kind;

// The platform's colours: the window colour is the background of text
// areas, the window text colour their text, and the control text colour
// the text of buttons.
QColor resolve(Colour colour, const QPalette& palette);

// The face the design asks for first, then the bundled Gothic face.
QFont controlFont(const forms::Font& font, int pixels);

// Lets screen readers know labels as text and pictures as graphics.
void installControlAccessibility();

// A label, a filled rectangle, a line or a picture box.
class ControlView final : public QWidget {
public:
    // The control `id` of a window, placed by the window's layout.
    ControlView(const forms::Layout& layout, forms::ControlId id, const ControlSpec& spec, QWidget* parent);

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }
    Kind kind() const { return spec_.kind; }
    forms::Live live() const { return spec_.live; }
    void setColours(Colour back, Colour fore);

    // Puts the control at `top` pixels, in its box. A label that shows its
    // caption whole is widened where the caption is longer (see
    // Layout::captionRoom).
    void place(int top);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void layOut();
    void updateOpacity();
    void drawCaption(QPainter& p, QPoint at, const QColor& colour);

    const forms::Layout& layout_;
    forms::ControlId id_;
    const ControlSpec& spec_;
    QRect box_;  // where the layout puts it, in pixels of the window
    QString caption_;
    QList<QRect> background_;  // relative to the box
    QStaticText text_;  // the caption laid out once, drawn many times
    int captionWidth_ = 0;
    int captionAt_ = 0;     // where the caption begins in the widget
    int placedWidth_ = -1;  // the caption width the widget was last fitted to
    bool moved_ = false;    // placed away from its design top at least once
    Colour back_;
    Colour fore_;
    QPixmap picture_;
    QImage code_;  // a QR code's modules, a pixel each: 1 dark, 0 light
    // A caption too large for Qt's glyph cache, drawn once; the caption and
    // colour it shows.
    QPixmap bigCaption_;
    QString bigCaptionText_;
    QRgb bigCaptionColour_ = 0;
};

// A command button drawn in its own background colour.
class ControlButton final : public QAbstractButton {
public:
    // The control `id` of a window, placed by the window's layout.
    ControlButton(const forms::Layout& layout, forms::ControlId id, const ControlSpec& spec, QWidget* parent);

    void setBack(Colour back);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const forms::Layout& layout_;
    forms::ControlId id_;
    bool fit_;
    QString fittedFor_;  // the caption `fitted_` was worked out for
    QFont fitted_;
    Colour back_;
};

}  // namespace platform
