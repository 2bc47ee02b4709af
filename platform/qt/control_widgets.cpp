#include "control_widgets.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <cmath>
#include <qrcodegen.hpp>

namespace platform {

using namespace forms;

QColor resolve(Colour colour, const QPalette& palette)
{
    switch (colour.role) {
    case Colour::Role::Window:
        return palette.color(QPalette::Base);
    case Colour::Role::WindowText:
        return palette.color(QPalette::Text);
    case Colour::Role::ButtonText:
        return palette.color(QPalette::ButtonText);
    case Colour::Role::Fixed:
        break;
    }
    return QColor::fromRgb(colour.rgb);
}

QFont controlFont(const Font& font, int pixels)
{
    QFont f;
    QStringList faces;
    for (const std::string_view face : forms::kFaces)
        faces.append(QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size())));
    f.setFamilies(faces);
    f.setPixelSize(pixels);
    f.setBold(font.bold);
    return f;
}

static QAccessibleInterface* accessibleControl(const QString& className, QObject* object)
{
    if (className == QLatin1String("platform::QtWindow"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    auto* view = dynamic_cast<ControlView*>(object);
    if (!view)
        return nullptr;
    switch (view->kind()) {
    case Kind::Label:
        // What the game announces is a notification, which a screen reader
        // says as its name changes.
        return new QAccessibleWidget(view, view->live() == forms::Live::Announce ? QAccessible::Notification
                                                                                   : QAccessible::StaticText);
    case Kind::Line:
        return new QAccessibleWidget(view, QAccessible::Separator);
    default:
        return new QAccessibleWidget(view, QAccessible::Graphic);
    }
}

void installControlAccessibility()
{
    static const bool installed = (QAccessible::installFactory(&accessibleControl), true);
    Q_UNUSED(installed);
}

static QString nameOf(const ControlSpec& spec)
{
    QString name = QString::fromUtf8(spec.name.data(), static_cast<qsizetype>(spec.name.size()));
    return spec.index < 0 ? name : name + QLatin1Char('(') + QString::number(spec.index) + QLatin1Char(')');
}

static void describe(QWidget* widget, const ControlSpec& spec)
{
    widget->setObjectName(nameOf(spec));
    if (!spec.description.empty())
        widget->setAccessibleDescription(QString::fromUtf8(spec.description.data(), static_cast<qsizetype>(spec.description.size())));
}

static QRect pixels(const Rect& r)
{
    return QRect(static_cast<int>(std::lround(r.left)), static_cast<int>(std::lround(r.top)),
                 static_cast<int>(std::lround(r.width)), static_cast<int>(std::lround(r.height)));
}

namespace {

// The modules of `text`'s QR code (error correction L, enough for a clear
// screen), or none where the text is empty or too long for any QR code.
QImage qrModules(const QString& text)
{
    if (text.isEmpty())
        return {};
    try {
        const auto qr = qrcodegen::QrCode::encodeText(text.toUtf8().constData(), qrcodegen::QrCode::Ecc::LOW);
        QImage modules(qr.getSize(), qr.getSize(), QImage::Format_Mono);
        for (int y = 0; y < qr.getSize(); ++y) {
            for (int x = 0; x < qr.getSize(); ++x)
                modules.setPixel(x, y, qr.getModule(x, y) ? 1 : 0);
        }
        return modules;
    } catch (const qrcodegen::data_too_long&) {
        return {};
    }
}

// The control's type as designed or, where it fits its caption to its box
// and the caption is wider than `room`, smaller until it fits.
QFont fittedType(const Layout& layout, ControlId id, QFont type, const QString& caption, int room)
{
    const int designed = layout.fontPixels(id);
    type.setPixelSize(designed);
    for (int pixels = layout.fittedPixels(id, QFontMetrics(type).horizontalAdvance(caption)); pixels < designed; --pixels) {
        type.setPixelSize(pixels);
        if (pixels == 1 || QFontMetrics(type).horizontalAdvance(caption) <= room)
            break;
    }
    return type;
}

}  // namespace

ControlView::ControlView(const Layout& layout, ControlId id, const ControlSpec& spec, QWidget* parent)
    : QWidget(parent), layout_(layout), id_(id), spec_(spec), box_(pixels(layout.box(id))),
      caption_(QString::fromUtf8(spec.caption.data(), spec.caption.size())), back_(spec.back), fore_(spec.fore)
{
    for (const Rect& r : layout.background(id))
        background_.append(pixels(r).translated(-box_.topLeft()));
    // No control claims to be opaque until it moves (updateOpacity()).
    if (spec.font.points > 0)
        setFont(controlFont(spec.font, layout.fontPixels(id)));
    if (!spec.picture.empty())
        picture_.load(QString::fromUtf8(spec.picture.data(), spec.picture.size()));

    if (spec.kind == Kind::Line) {
        // A 2-pixel line, centred on the path.
        const Rect& r = layout.box(id);
        const int x1 = static_cast<int>(r.left), y1 = static_cast<int>(r.top);
        const int x2 = static_cast<int>(r.left + r.width), y2 = static_cast<int>(r.top + r.height);
        setGeometry(QRect(QPoint(std::min(x1, x2) - 1, std::min(y1, y2) - 1), QPoint(std::max(x1, x2), std::max(y1, y2))));
    } else {
        setGeometry(box_);
    }
    text_.setTextFormat(Qt::PlainText);
    text_.setPerformanceHint(QStaticText::AggressiveCaching);
    layOut();
    updateOpacity();
    describe(this, spec);
}

void ControlView::setCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    layOut();
    update();
}

void ControlView::layOut()
{
    if (spec_.kind == Kind::Code) {
        code_ = qrModules(caption_);
        setAccessibleName(QString::fromUtf8(spec_.spokenName.data(), static_cast<qsizetype>(spec_.spokenName.size())));
        return;
    }
    if (spec_.live == forms::Live::Announce) {
        setAccessibleName(caption_);  // heard, never drawn: nothing to shape
        return;
    }
    text_.setText(caption_);
    QFont type = font();
    if (spec_.fitCaption) {
        type = fittedType(layout_, id_, type, caption_, box_.width());
        if (type != font())
            setFont(type);
    }
    text_.prepare(QTransform(), type);
    captionWidth_ = QFontMetrics(type).horizontalAdvance(caption_);
    setAccessibleName(caption_);
}

void ControlView::updateOpacity()
{
    // A control that says it paints every pixel of its widget moves by a
    // copy of its pixels, without a repaint of what lies beneath. But Qt
    // keeps the region that opaque controls cover and works it out afresh,
    // control by control, whenever any control moves: in every frame of a
    // game. So only a control that has moved says so, and only when it does
    // cover its widget: a line is thinner, and a label widened past its box,
    // or one that leaves part of its box to the labels beneath it, does not.
    const bool covers = spec_.kind == Kind::Shape || spec_.kind == Kind::Picture ||
                        (spec_.kind == Kind::Label && background_.size() == 1 && background_.front() == rect());
    setAttribute(Qt::WA_OpaquePaintEvent, moved_ && covers);
}

void ControlView::setColours(Colour back, Colour fore)
{
    back_ = back;
    fore_ = fore;
    update();
}

void ControlView::place(int top)
{
    if (spec_.kind == Kind::Line)
        return;  // lines stay where they were designed
    if (top == y() && captionWidth_ == placedWidth_)
        return;
    placedWidth_ = captionWidth_;
    const CaptionRoom room = layout_.captionRoom(id_, captionWidth_);
    captionAt_ = room.at - room.left;
    setGeometry(room.left, top, room.width, box_.height());
    moved_ = moved_ || top != box_.top();
    updateOpacity();
}

void ControlView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    switch (spec_.kind) {
    case Kind::Line:
        p.fillRect(rect(), resolve(fore_, pal));
        return;
    case Kind::Picture:
        p.fillRect(rect(), resolve(back_, pal));
        if (!picture_.isNull())
            p.drawPixmap(0, 0, picture_);
        return;
    case Kind::Shape:
        p.fillRect(rect(), resolve(back_, pal));
        return;
    case Kind::Code: {
        p.fillRect(rect(), resolve(back_, pal));
        if (code_.isNull())
            return;
        // Whole pixels a module, with a module's light margin at least
        // (the box stands on the card's own light ground), centred.
        const int side = code_.width();
        const int scale = std::max(1, std::min(width(), height()) / (side + 2));
        const QRect at((width() - side * scale) / 2, (height() - side * scale) / 2, side * scale, side * scale);
        QImage modules = code_;
        modules.setColorTable({resolve(back_, pal).rgb(), resolve(fore_, pal).rgb()});
        p.drawImage(at, modules);
        return;
    }
    case Kind::Label: {
        if (spec_.live == forms::Live::Announce)
            return;  // heard, never seen
        const QPoint box(box_.x() - x(), 0);
        for (const QRect& r : background_)
            p.fillRect(r.translated(box), resolve(back_, pal));
        if (caption_.isEmpty())
            return;
        // The widget is the caption's room (Layout::captionRoom): a longer
        // caption is cut at its edges.
        drawCaption(p, QPoint(captionAt_, 0), resolve(fore_, pal));
        return;
    }
    case Kind::Timer:
    case Kind::Button:
        return;
    }
}

// Qt's raster engine keeps glyphs of up to 64 device pixels in its glyph
// cache; larger ones it fills from their outlines at every paint. The
// countdown's 160-pixel digits, drawn that way whenever a falling sum passes
// over them, took a quarter of the instructions of play; a caption that large
// is drawn once into a picture of its own and copied from there.
void ControlView::drawCaption(QPainter& p, QPoint at, const QColor& colour)
{
    constexpr int kLargestCachedGlyph = 64;
    const qreal ratio = p.device()->devicePixelRatio();
    if (font().pixelSize() * ratio <= kLargestCachedGlyph) {
        p.setPen(colour);
        p.drawStaticText(at, text_);
        return;
    }
    // Room for ink beyond the caption's advance and line height.
    const int margin = font().pixelSize() / 2;
    if (bigCaption_.isNull() || bigCaptionText_ != caption_ || bigCaptionColour_ != colour.rgba() ||
        bigCaption_.devicePixelRatio() != ratio) {
        // The countdown changes every second: its picture is drawn afresh
        // in the memory it already has.
        const QSize size = ((text_.size() + QSizeF(2 * margin, 2 * margin)) * ratio).toSize() + QSize(1, 1);
        if (bigCaption_.devicePixelRatio() != ratio || size.width() > bigCaption_.width() ||
            size.height() > bigCaption_.height()) {
            bigCaption_ = QPixmap(size.expandedTo(bigCaption_.size()));
            bigCaption_.setDevicePixelRatio(ratio);
        }
        bigCaption_.fill(Qt::transparent);
        QPainter picture(&bigCaption_);
        picture.setFont(font());
        picture.setPen(colour);
        picture.drawStaticText(QPoint(margin, margin), text_);
        bigCaptionText_ = caption_;
        bigCaptionColour_ = colour.rgba();
    }
    p.drawPixmap(at - QPoint(margin, margin), bigCaption_);
}

ControlButton::ControlButton(const Layout& layout, ControlId id, const ControlSpec& spec, QWidget* parent)
    : QAbstractButton(parent), layout_(layout), id_(id), fit_(spec.fitCaption), back_(spec.back)
{
    setFont(controlFont(spec.font, layout.fontPixels(id)));
    setText(QString::fromUtf8(spec.caption.data(), spec.caption.size()));
    setGeometry(pixels(layout.box(id)));
    setFocusPolicy(Qt::NoFocus);  // the window lets the buttons of its key table take the focus
    setCheckable(spec.toggle);
    describe(this, spec);
}

void ControlButton::setBack(Colour back)
{
    if (back_ == back)
        return;
    back_ = back;
    update();
}

void ControlButton::paintEvent(QPaintEvent*)
{
    // A raised panel in the button's colour, sunken while held down. The
    // frame is filled, not stroked, so that it covers whole window pixels
    // at any device pixel ratio.
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, resolve(back_, palette()));

    const bool down = isDown() || isChecked();  // a toggle that is on stays down
    const QColor outer(0x40, 0x40, 0x40), shadow(0x80, 0x80, 0x80), light(0xFF, 0xFF, 0xFF);
    const auto frame = [&p](QRect box, const QColor& topLeft, const QColor& bottomRight) {
        p.fillRect(box.left(), box.top(), box.width(), 1, topLeft);
        p.fillRect(box.left(), box.top(), 1, box.height(), topLeft);
        p.fillRect(box.left(), box.bottom(), box.width(), 1, bottomRight);
        p.fillRect(box.right(), box.top(), 1, box.height(), bottomRight);
    };
    frame(r, outer, outer);
    const QRect in = r.adjusted(1, 1, -1, -1);
    if (down)
        frame(in, shadow, resolve(back_, palette()));
    else
        frame(in, light, shadow);

    // The keyboard focus, once the keyboard is used: a dark ring just
    // inside the raised edge, clear of the caption.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        const QColor ring = palette().color(QPalette::ButtonText);
        frame(r.adjusted(2, 2, -2, -2), ring, ring);
        frame(r.adjusted(3, 3, -3, -3), ring, ring);
    }

    const QRect textRect = down ? r.translated(1, 1) : r;
    if (fit_) {
        // A caption wider than the button's face in smaller type, to fit,
        // worked out once for each caption.
        if (fittedFor_ != text()) {
            fittedFor_ = text();
            fitted_ = fittedType(layout_, id_, font(), text(), width() - Layout::kButtonEdges);
        }
        p.setFont(fitted_);
    }
    if (isEnabled()) {
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text());
    } else {
        // Engraved, as disabled captions are drawn on a raised panel.
        p.setPen(light);
        p.drawText(textRect.translated(1, 1), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text());
        p.setPen(shadow);
        p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text());
    }
}

}  // namespace platform
