#include "qt_form.h"

#include "control_widgets.h"

#include <QCloseEvent>
#include <QIcon>
#include <cmath>

namespace screens {
namespace {

// Positions that changed are drawn once per display frame.
constexpr int kFrameMilliseconds = 16;

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QtForm::QtForm(FormLogic& logic, QWidget* parent)
    : QWidget(parent), logic_(logic), model_(logic.model())
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

    frame_.setSingleShot(true);
    frame_.setTimerType(Qt::PreciseTimer);
    frame_.setInterval(kFrameMilliseconds);
    connect(&frame_, &QTimer::timeout, this, &QtForm::placeMoved);

    build();
    logic_.load();
    mirror();
}

QtForm::~QtForm()
{
    for (QTimer* t : timers_)
        delete t;
}

void QtForm::build()
{
    const int n = model_.size();
    widgets_.assign(static_cast<std::size_t>(n), nullptr);
    timers_.assign(static_cast<std::size_t>(n), nullptr);
    timerStarts_.assign(static_cast<std::size_t>(n), 0);
    moved_.assign(static_cast<std::size_t>(n), false);

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
    if (d.kind == Kind::Timer) {
        auto* t = new QTimer;
        t->setTimerType(Qt::PreciseTimer);
        connect(t, &QTimer::timeout, this, [this, id] {
            logic_.tick(id);
            afterEvent();
        });
        timers_[static_cast<std::size_t>(id)] = t;
        return;
    }
    QWidget* parent = d.parent == kNoControl ? this : widgets_[static_cast<std::size_t>(d.parent)];
    if (d.kind == Kind::Button) {
        auto* b = new ControlButton(d, parent);
        connect(b, &QAbstractButton::clicked, this, [this, id] {
            logic_.click(id);
            afterEvent();
        });
        widgets_[static_cast<std::size_t>(id)] = b;
    } else {
        widgets_[static_cast<std::size_t>(id)] = new ControlView(d, parent);
    }
}

int QtForm::pixelTop(ControlId id) const
{
    return static_cast<int>(std::lround(static_cast<double>(model_[id].top) * model_.spec().verticalUnit));
}

void QtForm::afterEvent()
{
    if (!model_.changed())
        return;
    bool moved = false;
    for (ControlId id = 0; id < model_.size(); ++id) {
        const std::uint8_t changes = model_.changes(id);
        if (!changes)
            continue;
        if (changes & kTop) {
            moved_[static_cast<std::size_t>(id)] = true;
            moved = true;
        }
        mirrorControl(id, changes & ~kTop);
    }
    model_.clearChanges();
    if (moved && !frame_.isActive())
        frame_.start();
}

void QtForm::mirror()
{
    for (ControlId id = 0; id < model_.size(); ++id) {
        mirrorControl(id, 0xFF);
        moved_[static_cast<std::size_t>(id)] = true;
    }
    model_.clearChanges();
    frame_.stop();
    placeMoved();
}

void QtForm::placeMoved()
{
    for (ControlId id = 0; id < model_.size(); ++id) {
        if (!moved_[static_cast<std::size_t>(id)])
            continue;
        moved_[static_cast<std::size_t>(id)] = false;
        if (auto* view = dynamic_cast<ControlView*>(widget(id)))
            view->place(pixelTop(id));
        else if (QWidget* w = widget(id))
            w->move(w->x(), pixelTop(id));
    }
}

void QtForm::mirrorControl(ControlId id, std::uint8_t changes)
{
    if (!changes)
        return;
    const ControlState& s = model_[id];
    if (timers_[static_cast<std::size_t>(id)]) {
        mirrorTimer(id);
        return;
    }
    QWidget* w = widget(id);
    if (!w)
        return;
    if (auto* b = dynamic_cast<ControlButton*>(w)) {
        if (changes & kCaption)
            b->setText(text(s.caption));
        if (changes & kColours)
            b->setBack(s.back);
    } else if (auto* v = static_cast<ControlView*>(w)) {
        if (changes & kCaption) {
            v->setCaption(text(s.caption));
            v->place(pixelTop(id));
        }
        if (changes & kColours)
            v->setColours(s.back, s.fore);
    }
    if (changes & kEnabled)
        w->setEnabled(s.enabled);
    if (changes & kVisible)
        w->setVisible(s.visible);
}

void QtForm::mirrorTimer(ControlId id)
{
    const ControlState& s = model_[id];
    QTimer* t = timers_[static_cast<std::size_t>(id)];
    std::uint32_t& seen = timerStarts_[static_cast<std::size_t>(id)];
    if (!s.enabled) {
        t->stop();
    } else if (!t->isActive() || seen != s.starts) {
        t->start(s.interval);
    }
    seen = s.starts;
}

void QtForm::closeEvent(QCloseEvent* event)
{
    for (QTimer* t : timers_) {
        if (t)
            t->stop();
    }
    event->accept();
    emit closed();
}

}  // namespace screens
