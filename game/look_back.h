// The look back (みなおし): the sums a child missed in the last game, and
// apart from them those answered right but slowly (ゆっくり), listed after
// it in place of the sums, a page of eight lines at a time, and played
// again (もういちど) on the rules' own terms.
#pragma once

#include "announcer.h"
#include "form1.h"
#include "outcome.h"
#include "sums.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace game {

class LookBack final : public OutcomeReader {
public:
    static constexpr int kLinesPerPage = 8;

    struct Controls {
        ControlId minaoshi;        // opens the list
        ControlId minaoshihyouji;  // its heading
        std::array<ControlId, kLinesPerPage + 1> machigai;  // its lines, 1 to 8
        ControlId mae, tsugi;      // its pages
        ControlId mouichido;       // plays the missed sums again
        ControlId tojiru;          // closes the list
    };

    // A sum missed: answered wrongly (with the first answer given) or
    // fallen to the bottom unanswered.
    struct Miss {
        Sum sum;
        bool fell = false;
        Answer given{};
    };

    // `sums`: what the list takes the place of.
    LookBack(Form1& rules, Announcer& announcer, const Controls& controls, std::span<const ControlId> sums);

    void read(const Outcome& outcome) override;
    // A click on one of the list's controls, and what the rules said of it
    // (a game of the missed sums started); nothing for any other control.
    std::optional<Outcome> click(ControlId control);
    // The list gives way to a course chosen.
    void close() { show(false); }

    bool reviewing() const { return reviewing_; }

    // A line of the list: a sum missed, as first missed, and how often.
    struct Line {
        Miss first;
        int count = 1;
    };
    // The sums missed, each once, in the order they first came.
    const std::vector<Line>& lines() const { return lines_; }
    // The sums answered right but past the slow line, each once, likewise.
    const std::vector<Line>& slowLines() const { return slow_; }
    // The line of the list for a miss: "7 + 5 = 12　（こたえた 13）".
    static std::string missText(const Miss& miss);
    // For a sum missed more than once, how often: "6 × 8 = 48　4かい".
    static std::string lineText(const Line& line);
    // A slow sum's line: "7 × 2 = 14", "7 × 2 = 14　2かい".
    static std::string slowText(const Line& line);
    // Whether a game played again has had each of its sums done: answered
    // right, and within the slow line for a slow one.
    bool againDone() const { return again_ && again_->allAnswered(); }

private:
    static void add(std::vector<Line>& lines, const Miss& miss);
    void show(bool open);
    void showPage(int page);
    Outcome playAgain();

    Form1& rules_;
    Announcer& announcer_;
    Controls c_;
    std::span<const ControlId> sums_;
    std::vector<Line> lines_;
    std::vector<Line> slow_;
    std::array<bool, 4> listed_{};  // problem n's sum on screen is already in the list
    std::optional<ReviewSums> again_;  // while the missed sums are played again
    bool replaying_ = false;  // the game starting is one played again
    bool reviewing_ = false;
    int page_ = 0;
};

}  // namespace game
