// The result card (けっか): what one game came to, written so that the
// teacher's page can read it off a child's screen, as a QR code or as a
// short code typed by hand. It names no child: only the number (ばんごう)
// the child may pick. docs/result-card.md describes both codes, version by
// version; a reader of a later version still reads these.
#pragma once

#include "course.h"
#include "integer.h"
#include "sum.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace game {

// The device's date and time when the game ended.
struct Stamp {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
    friend bool operator==(const Stamp&, const Stamp&) = default;
};

struct Card {
    // The short code's version, and the QR code's text's: the short code
    // has not changed, the text has carried how often and how fast since 2.
    static constexpr int kVersion = 1;
    static constexpr int kTextVersion = 2;
    static constexpr int kMaxNumber = 45;
    static constexpr int kMaxCount = 2047;          // right, wrong and fell stop here
    static constexpr std::size_t kMaxMissed = 12;   // the sums a version 1 QR code holds
    // The text a QR code of version 11 holds in byte mode with error
    // correction L: 61 modules, 183 pixels at the desktop's 3 a module.
    static constexpr std::size_t kMaxCodeText = 321;
    static constexpr int kMaxTenths = 9999;         // the median time stops at 999.9 s

    // In both codes.
    int number = 0;            // ばんごう, 1 to 45; 0: none picked
    int course = 1;            // the course played, 1 to 6
    std::uint16_t link = 0;    // the teacher's link it came from (linkMark); 0: the animals' courses
    Integer points = 0;
    int right = 0, wrong = 0, fell = 0;
    // In the QR code only.
    Integer perMinute = 0;
    Integer seconds = 60;
    int pace = 100;            // the falling pace, in percent of the design's (25 to 100)
    Stamp when{};
    std::vector<Course> courses;  // the link's courses; none: the animals'
    int missedCount = 0;          // the sums missed, of which the first are kept
    std::vector<Sum> missed;
    // How often each of `missed` was missed; empty when each was once
    // (and on a version 1 card).
    std::vector<int> missedTimes;
    int slowCount = 0;            // the sums answered right but slowly, likewise
    std::vector<Sum> slow;
    std::vector<int> slowTimes;
    int medianTenths = -1;        // the median time of a right answer, in tenths of a second; -1: none
    bool typedAnswers = false;    // the answers typed on the number pad (answer=type), not chosen

    friend bool operator==(const Card&, const Card&) = default;
};

// The right answers as a minute's worth, by which the class is compared.
int rightPerMinute(const Card& card);

// A mark of a link's courses, the same wherever the same courses are set:
// the teacher's page groups cards by it. Never 0, which is the animals'.
std::uint16_t linkMark(std::span<const Course> courses);

// The code typed by hand: 18 characters in groups of four
// ("3K7Q M0XA 9TRD 2WCE 4F"), of digits and of capitals that cannot be
// taken for one another, the last two checking the rest.
std::string shortCode(const Card& card);

// The QR code's text: the short code and the rest of the card.
std::string cardText(const Card& card);

// The card cut to what its QR code holds (Card::kMaxCodeText): the last
// sums of the longer list go first, the counts of sums stay.
Card fittedToCode(Card card);

// How often each sum of a list was missed or slow, as a card keeps it:
// empty when each was once.
std::vector<int> tallies(std::vector<int> counts);

// A card read back from either code, or why it cannot be (one line for the
// teacher). A short code gives only what it carries.
struct CardReading {
    std::optional<Card> card;
    std::string why;
    bool typed = false;  // read from a short code
};
CardReading readCard(std::string_view text);

}  // namespace game
