#include "qt_window.h"

#include "control_widgets.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <cmath>

namespace platform {
namespace {

using namespace forms;

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A key as the window's key table knows it.
KeyPress keyPress(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Escape:
        return {Key::Character, kEscape};
    case Qt::Key_Left:
        return {Key::Left};
    case Qt::Key_Right:
        return {Key::Right};
    case Qt::Key_Up:
        return {Key::Up};
    case Qt::Key_Down:
        return {Key::Down};
    case Qt::Key_Backspace:
        return {Key::Character, kBackspace};
    case Qt::Key_Space:
        return {Key::Activate};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {Key::Activate, kEnter};
    default:
        if (event.text().size() == 1 && event.text().at(0).unicode() < 0x80)
            return {Key::Character, static_cast<char>(event.text().at(0).unicode())};
        return {};
    }
}

}  // namespace

QtWindow::QtWindow(FormLogic& logic, QWidget* parent)
    : QWidget(parent), model_(logic.model()), layout_(logic.model().spec()), driver_(logic, *this)
{
    const WindowSpec& spec = model_.spec();
    setWindowFlags(spec.toolWindow ? Qt::Tool | Qt::MSWindowsFixedSizeDialogHint
                                   : Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(text(spec.caption));
    if (!spec.icon.empty())
        setWindowIcon(QIcon(text(spec.icon)));
    setFixedSize(layout_.width(), layout_.height());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, resolve(spec.back, pal));
    setPalette(pal);
    setAutoFillBackground(true);

    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    connect(&wake_, &QTimer::timeout, this, [this] { driver_.wake(now()); });

    installControlAccessibility();
    build();
    clock_.start();
    driver_.load(now());
}

QtWindow::~QtWindow() = default;

void QtWindow::build()
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

void QtWindow::create(ControlId id)
{
    const ControlSpec& d = model_.design(id);
    if (d.kind == Kind::Timer)
        return;  // the schedule runs it
    QWidget* parent = d.parent == kNoControl ? this : widgets_[static_cast<std::size_t>(d.parent)];
    if (d.kind == Kind::Button) {
        auto* b = new ControlButton(layout_, id, d, parent);
        connect(b, &QAbstractButton::clicked, this, [this, id] { onClick(id); });
        if (driver_.keyboard().inOrder(id))
            b->setFocusPolicy(Qt::TabFocus);
        b->installEventFilter(this);
        widgets_[static_cast<std::size_t>(id)] = b;
    } else {
        widgets_[static_cast<std::size_t>(id)] = new ControlView(layout_, id, d, parent);
    }
}

int QtWindow::pixelTop(ControlId id) const
{
    return static_cast<int>(std::lround(layout_.topAt(id, model_[id].top)));
}

void QtWindow::onClick(ControlId id)
{
    driver_.click(id, now());
    // A toggle shows what the model says, whatever Qt made of the click.
    if (auto* b = dynamic_cast<ControlButton*>(widget(id)); b && b->isCheckable())
        b->setChecked(model_[id].pressed);
}

// Minimised or hidden, the window tells its logic (a game pauses).
void QtWindow::onHidden()
{
    driver_.hidden(now());
}

void QtWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized() && !closed_)
        onHidden();
    QWidget::changeEvent(event);
}

// Only the window system's hiding counts (the window iconified or taken off
// the screen): the program's own hide() comes inside a handler, as the
// opening window leaves.
void QtWindow::hideEvent(QHideEvent* event)
{
    if (event->spontaneous() && !closed_)
        onHidden();
    QWidget::hideEvent(event);
}

void QtWindow::wakeAt(std::optional<std::int64_t> time)
{
    if (time)
        wake_.start(static_cast<int>(std::max(std::int64_t{0}, *time - now())));
    else
        wake_.stop();
}

void QtWindow::draw()
{
    if (!model_.changed())
        return;
    drawing_ = true;
    for (ControlId id = 0; id < model_.size(); ++id)
        mirrorControl(id, model_.changes(id));
    drawing_ = false;
}

void QtWindow::showNotice(const QString& text)
{
    delete notice_;
    notice_ = nullptr;
    if (!text.isEmpty()) {
        auto* line = new QLabel(text, this);
        line->setWordWrap(true);
        line->setTextFormat(Qt::PlainText);
        line->setFont(QFont());  // the system's: the game's font keeps only what the game draws
        line->setMargin(6);
        line->setAccessibleDescription(QStringLiteral("おしらせ"));  // not drawn
        line->setAutoFillBackground(true);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(forms::colours::notice.rgb));
        pal.setColor(QPalette::WindowText, Qt::black);
        line->setPalette(pal);
        line->setFixedWidth(layout_.width());
        line->move(0, layout_.height());
        line->setFixedHeight(line->heightForWidth(layout_.width()));
        line->show();
        notice_ = line;
    }
    setFixedSize(layout_.width(), layout_.height() + (notice_ ? notice_->height() : 0));
}

void QtWindow::mirror()
{
    driver_.refresh(now());
}

void QtWindow::mirrorControl(ControlId id, std::uint8_t changes)
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
        // With no name of its own a button is called by its caption.
        if (changes & kSpoken)
            b->setAccessibleName(text(s.spoken));
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

ControlId QtWindow::controlOf(const QWidget* widget) const
{
    if (!widget)
        return kNoControl;
    const auto it = std::find(widgets_.begin(), widgets_.end(), widget);
    return it == widgets_.end() ? kNoControl : static_cast<ControlId>(it - widgets_.begin());
}

ControlId QtWindow::focused() const
{
    return controlOf(focusWidget());
}

void QtWindow::focus(ControlId id)
{
    if (id == kNoControl) {
        if (QWidget* f = focusWidget())
            f->clearFocus();
    } else if (QWidget* w = widget(id); w && !w->hasFocus()) {
        w->setFocus(Qt::OtherFocusReason);
    }
}

// The buttons draw their focus ring while the window says the keyboard is
// in use.
void QtWindow::showFocus(bool shown)
{
    if (testAttribute(Qt::WA_KeyboardFocusChange) == shown)
        return;
    setAttribute(Qt::WA_KeyboardFocusChange, shown);
    if (QWidget* f = focusWidget())
        f->update();
}

void QtWindow::keyPressEvent(QKeyEvent* event)
{
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!driver_.key({keyPress(*event), event->isAutoRepeat(), shortcut}, now()))
        QWidget::keyPressEvent(event);
}

bool QtWindow::focusNextPrevChild(bool next)
{
    // Qt asks for the next focus while the drawing hides or disables the
    // button that holds it; the driver hands the focus on once it is done.
    if (drawing_)
        return true;
    driver_.key({{next ? Key::Tab : Key::BackTab}}, now());
    return true;
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        driver_.pointer();
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

void QtWindow::mousePressEvent(QMouseEvent* event)
{
    driver_.pointer();
    QWidget::mousePressEvent(event);
}

void QtWindow::closeEvent(QCloseEvent* event)
{
    closed_ = true;
    wake_.stop();
    event->accept();
    emit closed();
}

}  // namespace platform
