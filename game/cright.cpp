#include "cright.h"

#include "forms/names.h"

#include <cmath>

namespace game {
namespace {

using namespace forms;
using namespace forms::colours;

// 400 twips, the side of the smaller covers.
constexpr float kShortSide = 400.0f / 15.0f;

constexpr ControlSpec box(std::string_view name, int index, Rect rect, Colour back, std::string_view picture)
{
    ControlSpec c{};
    c.name = name;
    c.index = index;
    c.kind = Kind::Picture;
    c.rect = rect;
    c.back = back;
    c.picture = picture;
    c.parent = 1;  // Picture7 holds every other box
    return c;
}

constexpr ControlSpec frame(int k, Rect rect, std::string_view picture)
{
    return box("Picture8", k, rect, Colour::window(), picture);
}

constexpr ControlSpec cover(int k, Rect rect)
{
    return box("Picture1", k, rect, Colour::window(), {});
}

constexpr ControlSpec sequenceTimer()
{
    ControlSpec c{};
    c.name = "Timer1";
    c.kind = Kind::Timer;
    c.interval = 50;
    return c;
}

constexpr ControlSpec background()
{
    ControlSpec c = box("Picture7", -1, {0, 0, 433, 225}, white, ":/opening/haikei.gif");
    c.parent = kNoControl;
    return c;
}

// In stacking order: a control listed earlier lies above those after it.
constexpr std::array kControls{
    sequenceTimer(),
    background(),
    box("Picture2", -1, {24, 0, 369, 49}, Colour::window(), {}),
    frame(11, {360, 128, 65, 65}, ":/opening/frame11.gif"),
    frame(10, {336, 88, 65, 65}, ":/opening/frame10.gif"),
    frame(9, {296, 64, 65, 65}, ":/opening/frame09.gif"),
    frame(8, {256, 48, 65, 65}, ":/opening/frame08.gif"),
    frame(7, {208, 48, 65, 65}, ":/opening/frame07.gif"),
    frame(6, {168, 64, 65, 65}, ":/opening/frame06.gif"),
    frame(5, {136, 96, 65, 65}, ":/opening/frame05.gif"),
    frame(4, {104, 128, 65, 65}, ":/opening/frame04.gif"),
    frame(3, {80, 88, 57, 57}, ":/opening/frame03.gif"),
    frame(2, {56, 64, 65, 65}, ":/opening/frame02.gif"),
    frame(1, {24, 48, 65, 73}, ":/opening/frame01.gif"),
    frame(0, {0, 48, 65, 65}, ":/opening/frame00.gif"),
    cover(0, {24, 80, 35, kShortSide}),
    cover(1, {56, 96, kShortSide, kShortSide}),
    cover(2, {80, 104, 35, 35}),
    cover(3, {112, 120, 35, kShortSide}),
    cover(4, {144, 128, kShortSide, kShortSide}),
    cover(5, {168, 136, 35, kShortSide}),
    cover(6, {200, 136, 35, kShortSide}),
    cover(7, {232, 144, 35, kShortSide}),
    cover(8, {264, 152, 35, kShortSide}),
    cover(9, {296, 152, 35, kShortSide}),
    cover(10, {328, 160, kShortSide, kShortSide}),
    cover(11, {360, 168, kShortSide, kShortSide}),
};

constexpr WindowSpec kCright{
    .name = "cright",
    .caption = "オープニング",
    .clientWidth = 426,
    .clientHeight = 222,
    .back = white,
    .toolWindow = true,
    .icon = ":/icons/cright.ico",
    .verticalUnit = 1.0,
    .controls = kControls,
};

}  // namespace

const forms::WindowSpec& crightTable()
{
    return kCright;
}

Cright::Cright(HandOver handOver) : model_(kCright), handOver_(std::move(handOver))
{
    forms::Names name(kCright);
    timer1_ = name("Timer1");
    picture2_ = name("Picture2");
    for (int k = 0; k < kFrames; ++k) {
        sprite_[static_cast<std::size_t>(k)] = name("Picture8", k);
        cover_[static_cast<std::size_t>(k)] = name("Picture1", k);
    }
    unresolved_ = name.missing();
}

void Cright::load()
{
    stage_ = 0;
    model_.setEnabled(timer1_, true);
    model_.setInterval(timer1_, 50);
    for (int k = 0; k < kFrames; ++k) {
        model_.setVisible(sprite(k), false);
        model_.setVisible(cover(k), true);
    }
}

void Cright::tick(ControlId timer)
{
    if (gone_ || timer != timer1_ || !model_[timer1_].enabled)
        return;

    if (stage_ <= 11) {
        if (stage_ >= 1)
            model_.setVisible(sprite(stage_ - 1), false);
        model_.setVisible(sprite(stage_), true);
        model_.setVisible(cover(stage_), false);
        const double wait = static_cast<double>(stage_) * stage_ / 3.0 + 50.0;
        model_.setInterval(timer1_, static_cast<int>(std::lround(wait)));
        ++stage_;
    }
    if (stage_ >= 12) {
        model_.setVisible(sprite(11), true);
        model_.setVisible(picture2_, false);
        ++stage_;
    }
    if (stage_ == kLastTick + 1) {
        gone_ = true;
        if (handOver_)
            handOver_();
        model_.setEnabled(timer1_, false);
    }
}

}  // namespace game
