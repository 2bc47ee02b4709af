#include "qt_form.h"

#include "control_widgets.h"

#include <QCloseEvent>
#include <QIcon>
#include <cmath>

namespace screens {
namespace {

// The window wakes for timer ticks at most once a frame. Ticks due in
// between run together at the next wake-up, each in its turn and at its own
// moment of the schedule, and the screen is drawn once for them all: what it
// shows is exactly the state at that moment. A click first runs the ticks due
// by its time, so the rules always see events in time order. Forty frames a
// second move a sum at most two pixels a frame at its fastest pace, and keep
// a whole game well under a fiftieth of a core.
constexpr std::int64_t kFrameMilliseconds = 25;

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QtForm::QtForm(FormLogic& logic, QWidget* parent)
    : QWidget(parent), logic_(logic), model_(logic.model()), schedule_(logic.model())
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
        widgets_[static_cast<std::size_t>(id)] = b;
    } else {
        widgets_[static_cast<std::size_t>(id)] = new ControlView(d, parent);
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
        for (ControlId id = 0; id < model_.size(); ++id)
            mirrorControl(id, model_.changes(id));
        model_.clearChanges();
    }
    if (const std::optional<std::int64_t> due = schedule_.nextDue()) {
        const std::int64_t time = now();
        wake_.start(static_cast<int>(std::max({std::int64_t{0}, *due - time, lastWake_ + kFrameMilliseconds - time})));
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

void QtForm::closeEvent(QCloseEvent* event)
{
    wake_.stop();
    event->accept();
    emit closed();
}

}  // namespace screens
