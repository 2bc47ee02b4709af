#include "session.h"

#include "spoken.h"

#include "forms/names.h"

#include <algorithm>

namespace game {

namespace colours = forms::colours;

namespace {

Form1::Settings settingsOf(const Practice& p)
{
    return {p.seconds, p.pace, p.courses.empty() ? 6 : static_cast<int>(p.courses.size()), p.slow * 1000, p.keepScore, p.typed};
}

Session::Controls controlsOf(forms::Names& name)
{
    Session::Controls c{};
    c.oto = name("oto");
    c.yasumi = name("yasumi");
    c.tsuzukeru = name("tsuzukeru");
    c.yasumihyouji = name("yasumihyouji");
    c.shirase = name("shirase");
    c.minaoshi = name("minaoshi");
    c.minaoshihyouji = name("minaoshihyouji");
    for (int k = 1; k <= LookBack::kLinesPerPage; ++k)
        c.machigai[static_cast<std::size_t>(k)] = name("machigai", k);
    c.mae = name("mae");
    c.tsugi = name("tsugi");
    c.mouichido = name("mouichido");
    c.tojiru = name("tojiru");
    c.kekka = name("kekka");
    c.kekkahyouji = name("kekkahyouji");
    for (int k = 1; k <= ResultCard::kLines; ++k)
        c.kekkagyou[static_cast<std::size_t>(k)] = name("kekkagyou", k);
    c.bangouhyouji = name("bangouhyouji");
    c.bangoukazu = name("bangoukazu");
    c.bangou = {forms::kNoControl, name("bangou", 1), name("bangou", 2)};
    c.kodo = name("kodo");
    c.qrkodo = name("qrkodo");
    c.kekkatojiru = name("kekkatojiru");
    return c;
}

// What a pause and the look back hide: the sums, their written
// calculations, bars and answers, or in a typed game the number pad and
// the digits typed, which come back as they were.
std::vector<ControlId> sumControls(const Form1::Controls& r, bool typed, forms::Names& name)
{
    std::vector<ControlId> sums;
    if (typed) {
        sums.assign(r.suuji.begin(), r.suuji.end());
        sums.insert(sums.end(), {r.kesu, r.okuru, r.nyuuryoku});
    }
    for (int n = 1; n <= 3; ++n) {
        sums.push_back(r.mondai[n]);
        sums.push_back(r.kigou[n]);
        for (int k = 1; k <= 3 && !typed; ++k)
            sums.push_back(r.kotae[n][k]);
        for (int row = 1; row <= 2; ++row)
            sums.push_back(r.hissan[n][row]);
    }
    sums.push_back(name("Line1", 0));
    sums.push_back(name("Line2"));
    sums.push_back(name("Line3"));
    return sums;
}

}  // namespace

Session::Session(RandomSource& random, bool soundOn, Listener listener, Practice practice, ResultCard::Now now)
    : practice_(std::move(practice)), rules_(random, settingsOf(practice_)), soundOn_(soundOn),
      c_([this] {
          forms::Names name(rules_.model().spec());
          Controls c = controlsOf(name);
          sums_ = sumControls(rules_.controls(), practice_.typed, name);
          underList_ = underCard_ = sums_;
          underList_.push_back(c.kekka);
          underCard_.push_back(c.minaoshi);
          unresolved_ = name.missing();
          return c;
      }()),
      cues_(std::move(listener)), announcer_(rules_.model(), rules_, c_.shirase),
      lookBack_(rules_, announcer_, c_, underList_),
      resultCard_(rules_, announcer_, c_, underCard_, lookBack_, practice_, now)
{
    if (!practice_.courses.empty()) {
        courseSums_.emplace(practice_.courses, practice_.again);
        rules_.setCourseSums(&*courseSums_);
        readers_.back() = &*courseSums_;
    }
}

std::vector<std::string> Session::unresolvedNames() const
{
    std::vector<std::string> all = rules_.unresolvedNames();
    all.insert(all.end(), unresolved_.begin(), unresolved_.end());
    return all;
}

void Session::load()
{
    rules_.load();
    setSoundOn(soundOn_);
    model().setEnabled(c_.yasumi, false);
    // A teacher's courses in place of the animals: a short name on each
    // button, the whole one for a screen reader.
    const std::vector<std::string> names = shortNames(practice_.courses);
    const std::vector<std::string> spoken = fullNames(practice_.courses);
    for (std::size_t k = 0; k < practice_.courses.size(); ++k) {
        const ControlId rebel = rules_.controls().rebel[k + 1];
        model().setCaption(rebel, names[k]);
        model().setSpoken(rebel, spoken[k]);
    }
}

void Session::click(ControlId control)
{
    if (!model().clickable(control))
        return;
    if (control == c_.oto)
        return setSoundOn(!soundOn_);
    if (control == c_.yasumi)
        return setPaused(!paused_);
    if (control == c_.tsuzukeru)
        return setPaused(false);
    if (resultCard_.click(control))
        return;
    if (const std::optional<Outcome> outcome = lookBack_.click(control))
        return answer(*outcome);
    if (paused_)
        return;
    const auto& rebel = rules_.controls().rebel;
    if (std::find(rebel.begin() + 1, rebel.end(), control) != rebel.end()) {
        lookBack_.close();  // a course starts a game of its own sums
        resultCard_.close();
    }
    answer(rules_.click(control));
}

void Session::tick(ControlId timer)
{
    if (!paused_)
        answer(rules_.tick(timer));
}

// Everything the game does around its rules follows from what they say
// happened: the pause toggle here, the rest in the readers.
void Session::answer(const Outcome& outcome)
{
    // A sum's step, a thousand times a second at the fast drop, is no
    // reader's business.
    if (outcome.kind == Outcome::Kind::Moved || outcome.kind == Outcome::Kind::Nothing)
        return;
    if (outcome.kind == Outcome::Kind::Started || outcome.kind == Outcome::Kind::Over)
        model().setEnabled(c_.yasumi, outcome.kind == Outcome::Kind::Started);
    for (OutcomeReader* reader : readers_) {
        if (reader)
            reader->read(outcome);
    }
    // A game played again ends, with its verdict, once each of its sums is done.
    if (outcome.kind == Outcome::Kind::Right && lookBack_.againDone())
        answer(rules_.stop());
}

void Session::hidden()
{
    if (phase() == Phase::Playing)
        setPaused(true);
}

// Only a game can pause; the pause toggle is enabled only while one runs.
void Session::setPaused(bool paused)
{
    if (paused && phase() != Phase::Playing)
        return;
    paused_ = paused;
    forms::FormModel& m = model();
    m.holdTimers(paused);
    for (const ControlId id : sums_)
        m.setVisible(id, !paused);
    m.setVisible(c_.tsuzukeru, paused);
    m.setVisible(c_.yasumihyouji, paused);
    m.setPressed(c_.yasumi, paused);
    m.setBack(c_.yasumi, paused ? colours::lightGreen : colours::white);
    announcer_.say(spoken::paused(paused));
}

void Session::setSoundOn(bool on)
{
    soundOn_ = on;
    cues_.setOn(on);
    model().setPressed(c_.oto, on);
    model().setBack(c_.oto, on ? colours::lightGreen : colours::white);
}

}  // namespace game
