// The result card (けっか) of the last game, kept as the game goes: the
// counts of right answers, wrong ones and sums that fell and the time of
// each right answer, and at the end the card itself, with the sums of the
// look back, missed and slow (each once with how often, as many as the QR
// code holds, and how many there were), the median time of a right answer
// and the device's date and time. After a game its
// button opens it in place of the sums, as the look back's list is shown:
// what the game came to, the child's number (ばんごう), which stays for the
// next card and is never stored, and the short code and the QR code for
// the teacher.
#pragma once

#include "announcer.h"
#include "card.h"
#include "form1.h"
#include "look_back.h"
#include "outcome.h"
#include "practice.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace game {

class ResultCard final : public OutcomeReader {
public:
    // The device's date and time, as the edition reads it.
    using Now = Stamp (*)();

    static constexpr int kLines = 5;
    struct Controls {
        ControlId kekka;                     // opens the card
        ControlId kekkahyouji;               // its heading
        std::array<ControlId, kLines + 1> kekkagyou;  // its lines, 1 to 5
        ControlId bangouhyouji, bangoukazu;  // the number's label and the number
        std::array<ControlId, 3> bangou;     // 1 fewer, 2 more
        ControlId kodo;                      // the short code
        ControlId qrkodo;                    // the QR code of the card's text
        ControlId kekkatojiru;               // closes the card
    };

    // `sums`: what the card takes the place of.
    ResultCard(Form1& rules, Announcer& announcer, const Controls& controls, std::span<const ControlId> sums,
               const LookBack& lookBack, const Practice& practice, Now now);

    void read(const Outcome& outcome) override;
    // A click on one of the card's controls; false for any other control.
    bool click(ControlId control);
    // The card gives way to the look back or to a course chosen.
    void close() { show(false); }
    bool showing() const { return showing_; }

    // The card of the game last over; none before the first game ends, or
    // while a game runs.
    const std::optional<Card>& card() const { return card_; }
    // The child's number, 0 (none) to 45, on this card and the next.
    void setNumber(int number);
    int number() const { return number_; }

    // The card's lines as it shows them.
    std::array<std::string, kLines> lines() const;

private:
    void show(bool open);
    void fill();

    Form1& rules_;
    Announcer& announcer_;
    Controls c_;
    std::span<const ControlId> sums_;
    const LookBack& lookBack_;
    const Practice& practice_;
    Now now_;
    int number_ = 0;
    int course_ = 1;
    int right_ = 0, wrong_ = 0, fell_ = 0;
    std::vector<int> times_;  // how long each right answer took, in milliseconds
    std::optional<Card> card_;
    bool showing_ = false;
};

}  // namespace game
