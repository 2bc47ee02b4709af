#include "qt_form.h"

#include "control_widgets.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>

namespace screens {
namespace {

// The window wakes for timer ticks at most once a frame. Ticks due in
// between run together at the next wake-up, each in its turn and at its own
// moment of the schedule, and the screen is drawn once for them all: what it
// shows is exactly the state at that moment. A click first runs the ticks due
// by its time, so the rules always see events in time order. Frames keep to
// the window's clock (see nextWake), forty a second while the sums fall.
constexpr std::int64_t kFrameMilliseconds = 25;

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QtForm::QtForm(FormLogic& logic, QWidget* parent)
    : QWidget(parent), logic_(logic), model_(logic.model()), schedule_(logic.model()), keyboard_(logic.model())
{
    const WindowSpec& spec = model_.spec();
    setWindowFlags(spec.toolWindow ? Qt::Tool | Qt::MSWindowsFixedSizeDialogHint
                                   : Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(text(spec.caption));
    if (!spec.icon.empty())
        setWindowIcon(QIcon(text(spec.icon)));
    setFixedSize(spec.clientWidth, spec.clientHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, resolve(spec.back, pal));
    setPalette(pal);
    setAutoFillBackground(true);

    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    connect(&wake_, &QTimer::timeout, this, &QtForm::onWake);

    installControlAccessibility();
    build();
    clock_.start();
    logic_.load();
    mirror();
}

QtForm::~QtForm() = default;

void QtForm::build()
{
    const int n = model_.size();
    widgets_.assign(static_cast<std::size_t>(n), nullptr);

    // Widgets made later lie above those made earlier, so the table is built
    // from its last row up: first the controls of the window itself, then
    // those held by a container.
    for (bool contained : {false, true}) {
        for (ControlId id = n - 1; id >= 0; --id) {
            const ControlSpec& d = model_.design(id);
            if ((d.parent != kNoControl) == contained)
                create(id);
        }
    }
}

void QtForm::create(ControlId id)
{
    const ControlSpec& d = model_.design(id);
    if (d.kind == Kind::Timer)
        return;  // the schedule runs it
    QWidget* parent = d.parent == kNoControl ? this : widgets_[static_cast<std::size_t>(d.parent)];
    if (d.kind == Kind::Button) {
        auto* b = new ControlButton(d, parent);
        connect(b, &QAbstractButton::clicked, this, [this, id] { onClick(id); });
        if (keyboard_.inOrder(id))
            b->setFocusPolicy(Qt::TabFocus);
        b->installEventFilter(this);
        widgets_[static_cast<std::size_t>(id)] = b;
    } else {
        widgets_[static_cast<std::size_t>(id)] = new ControlView(d, model_.spec().background(id), parent);
    }
}

int QtForm::pixelTop(ControlId id) const
{
    return static_cast<int>(std::lround(static_cast<double>(model_[id].top) * model_.spec().verticalUnit));
}

void QtForm::onClick(ControlId id)
{
    const std::int64_t time = now();
    runTicksDueBy(time);
    logic_.click(id);
    schedule_.sync(time);
    afterEvents();
    // A toggle shows what the model says, whatever Qt made of the click.
    if (auto* b = dynamic_cast<ControlButton*>(widget(id)); b && b->isCheckable())
        b->setChecked(model_[id].pressed);
}

// Minimised or hidden, the window tells its logic (a game pauses), after the
// ticks due by then.
void QtForm::onHidden()
{
    const std::int64_t time = now();
    runTicksDueBy(time);
    logic_.hidden();
    schedule_.sync(time);
    afterEvents();
}

void QtForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized() && !closed_)
        onHidden();
    QWidget::changeEvent(event);
}

// Only the window system's hiding counts (the window iconified or taken off
// the screen): the program's own hide() comes inside a handler, as the
// opening window leaves.
void QtForm::hideEvent(QHideEvent* event)
{
    if (event->spontaneous() && !closed_)
        onHidden();
    QWidget::hideEvent(event);
}

void QtForm::onWake()
{
    lastWake_ = now();
    runTicksDueBy(lastWake_);
    afterEvents();
}

void QtForm::runTicksDueBy(std::int64_t time)
{
    while (const std::optional<TimerSchedule::Tick> tick = schedule_.takeDue(time)) {
        logic_.tick(tick->timer);
        schedule_.sync(tick->at);
        emit ticked(tick->timer);
    }
}

// Draws what the events changed and sets the next wake-up.
void QtForm::afterEvents()
{
    if (model_.changed()) {
        mirroring_ = true;
        for (ControlId id = 0; id < model_.size(); ++id)
            mirrorControl(id, model_.changes(id));
        model_.clearChanges();
        mirroring_ = false;
        // A button that went away or was disabled hands the focus on.
        if (const ControlId focused = controlOf(focusWidget()); focused != kNoControl)
            moveFocus(keyboard_.settle(focused));
    }
    if (const std::optional<std::int64_t> due = schedule_.nextDue()) {
        const std::int64_t time = now();
        wake_.start(static_cast<int>(std::max(std::int64_t{0}, nextWake(*due, lastWake_, kFrameMilliseconds) - time)));
    } else {
        wake_.stop();
    }
}

void QtForm::mirror()
{
    for (ControlId id = 0; id < model_.size(); ++id)
        mirrorControl(id, 0xFF);
    model_.clearChanges();
    schedule_.sync(now());
    afterEvents();
}

void QtForm::mirrorControl(ControlId id, std::uint8_t changes)
{
    if (!changes)
        return;
    const ControlState& s = model_[id];
    QWidget* w = widget(id);
    if (!w)
        return;
    if (auto* b = dynamic_cast<ControlButton*>(w)) {
        if (changes & kCaption)
            b->setText(text(s.caption));
        if (changes & kColours)
            b->setBack(s.back);
        if ((changes & kTop) && w->y() != pixelTop(id))
            b->move(b->x(), pixelTop(id));
        if (changes & kPressed)
            b->setChecked(s.pressed);
    } else if (auto* v = static_cast<ControlView*>(w)) {
        if (changes & kCaption)
            v->setCaption(text(s.caption));
        if (changes & (kCaption | kTop))
            v->place(pixelTop(id));
        if (changes & kColours)
            v->setColours(s.back, s.fore);
    }
    if (changes & kEnabled)
        w->setEnabled(s.enabled);
    if (changes & kVisible)
        w->setVisible(s.visible);
}

ControlId QtForm::controlOf(const QWidget* widget) const
{
    if (!widget)
        return kNoControl;
    const auto it = std::find(widgets_.begin(), widgets_.end(), widget);
    return it == widgets_.end() ? kNoControl : static_cast<ControlId>(it - widgets_.begin());
}

// The focus is drawn only once the keyboard is used, and hidden again by
// the mouse, so a player with a mouse sees the window as designed.
void QtForm::showFocus(bool shown)
{
    if (testAttribute(Qt::WA_KeyboardFocusChange) == shown)
        return;
    setAttribute(Qt::WA_KeyboardFocusChange, shown);
    if (QWidget* focused = focusWidget())
        focused->update();
}

void QtForm::moveFocus(ControlId id)
{
    if (id == kNoControl) {
        if (QWidget* focused = focusWidget())
            focused->clearFocus();
    } else if (QWidget* w = widget(id); w && !w->hasFocus()) {
        w->setFocus(Qt::OtherFocusReason);
    }
}

void QtForm::onKey(KeyPress key)
{
    // While the focus is not shown (before the keyboard is first used, and
    // after the mouse), keys start from no focus: Qt's own focus on the
    // window's first button, or a button the mouse left, is not the
    // player's.
    if (!testAttribute(Qt::WA_KeyboardFocusChange)) {
        moveFocus(kNoControl);
        showFocus(true);
    }
    const KeyOutcome out = keyboard_.press(controlOf(focusWidget()), key);
    if (out.focus != kNoControl)
        moveFocus(out.focus);
    if (out.press != kNoControl)
        onClick(out.press);
}

void QtForm::keyPressEvent(QKeyEvent* event)
{
    KeyPress key;
    // Shortcuts of the desktop (Ctrl, Alt or the logo key with a key) are
    // not the game's.
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (shortcut ? 0 : event->key()) {
    case Qt::Key_Escape:
        key = {Key::Character, kEscape};
        break;
    case Qt::Key_Left:
        key.key = Key::Left;
        break;
    case Qt::Key_Right:
        key.key = Key::Right;
        break;
    case Qt::Key_Up:
        key.key = Key::Up;
        break;
    case Qt::Key_Down:
        key.key = Key::Down;
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key.key = Key::Activate;
        break;
    default:
        if (event->text().size() == 1 && event->text().at(0).unicode() < 0x80) {
            key.key = Key::Character;
            key.character = static_cast<char>(event->text().at(0).unicode());
        }
        break;
    }
    // A key held down presses its button once, as a held mouse button does;
    // moving the focus may repeat.
    const bool presses = key.key == Key::Activate || key.key == Key::Character;
    if (key.key == Key::Other || (presses && event->isAutoRepeat())) {
        QWidget::keyPressEvent(event);
        return;
    }
    onKey(key);
}

bool QtForm::focusNextPrevChild(bool next)
{
    // Qt asks for the next focus while the mirror hides or disables the
    // button that holds it; the focus settles once the mirror is done.
    if (mirroring_)
        return true;
    onKey({next ? Key::Tab : Key::BackTab});
    return true;
}

bool QtForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        showFocus(false);
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Buttons leave every key to the window, so that a key press is
        // handled alike whether a button holds the focus or none does.
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Tab &&
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_Backtab) {
            if (event->type() == QEvent::KeyPress)
                keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void QtForm::mousePressEvent(QMouseEvent* event)
{
    showFocus(false);
    QWidget::mousePressEvent(event);
}

void QtForm::closeEvent(QCloseEvent* event)
{
    closed_ = true;
    wake_.stop();
    event->accept();
    emit closed();
}

}  // namespace screens
