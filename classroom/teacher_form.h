// The teacher's page's view of the courses and of a link, in plain C++ and
// as JSON: the kinds and how the form asks for each, the bounds and choices
// of the form (so that the page restates none of them), the link the form
// asks for, written and read back as the game reads it, what a link opened
// in the page gives, and the ready-made units. teacher_main.cpp hands the
// kinds and the link to the page; the site's build writes the bounds, the
// choices and the units into the page itself (app/web/site_facts.cpp).
#pragma once

#include "game/course.h"
#include "game/practice.h"

#include <string>
#include <string_view>
#include <vector>

namespace classroom {

// Every kind of course and how the form asks for one, in the order of
// courseKinds(): its place in this list is the number the page uses.
std::string kindsJson();

// The form's bounds and choices: {"courses": at most, "seconds":{"fewest",
// "most","step","usual"}, "paces":[{"value" (thousandths),"label"}],
// "sheets":{"counts":[…],"lowest","highest","copies","usualCopies"}}.
std::string rulesJson();

// The ready-made units, in their order: [{"grade","name","link"}].
std::string unitsJson();

// The form being read, one row at a time.
class Form {
public:
    // One row: the kind's number, its tables as digits in the order wanted
    // (52: the 5 then the 2; 0: none), or its numbers from .. to, and its
    // option (1 for its first, 0 for none). Whatever the row says is
    // written, so that a row the game cannot play is named by the reading.
    void course(int kind, int tables, int from, int to, int option);

    // The link of the rows and these settings (pace in thousandths), read
    // back as the game reads it, as readingJson gives it, with "rows"
    // saying of each row whether the link keeps it, and if not, why and
    // how to mend it.
    std::string link(int seconds, int paceThousandths, bool soundOff, bool againOff, int slow = game::Practice::kSlow,
                     bool keepScore = false, bool typed = false) const;

private:
    struct Row {
        std::string text;
        std::string why;
        std::string fix;
    };
    std::vector<Row> rows_;
};

// What a link's query gives (with or without its "?"), for the form: the
// link written back, every course it names where it stands ("rows", those
// that give no sums too, for the form to mark), the settings, and the
// notice of what has no row.
std::string readingJson(std::string_view query);

}  // namespace classroom
