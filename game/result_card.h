// The result card of the last game, kept as the game goes: the counts of
// right answers, wrong ones and sums that fell, and at the end the card
// itself, with the sums of the look back (each once, the first twelve, and
// how many there were) and the device's date and time.
// The number the child picks (ばんごう) stays for the next card and is never
// stored.
#pragma once

#include "card.h"
#include "look_back.h"
#include "outcome.h"
#include "practice.h"

#include <functional>
#include <optional>

namespace game {

class ResultCard final : public OutcomeReader {
public:
    // The device's date and time, as the edition reads it.
    using Now = std::function<Stamp()>;

    ResultCard(const LookBack& lookBack, const Practice& practice, Now now);

    void read(const Outcome& outcome) override;

    // The card of the game last over; none before the first game ends, or
    // while a game runs.
    const std::optional<Card>& card() const { return card_; }
    // The child's number, 0 (none) to 45, on this card and the next.
    void setNumber(int number);
    int number() const { return number_; }

private:
    const LookBack& lookBack_;
    const Practice& practice_;
    Now now_;
    int number_ = 0;
    int course_ = 1;
    int right_ = 0, wrong_ = 0, fell_ = 0;
    std::optional<Card> card_;
};

}  // namespace game
