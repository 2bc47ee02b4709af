// What the site's build writes into its pages from the program's own data,
// so that no style sheet or page says it again: the faces and the notice's
// colour of the game, and the teacher's form's bounds, choices and units.
// Run by node when the site is put together; prints one JSON object.
#include "classroom/teacher_form.h"
#include "forms/control.h"
#include "platform/web/css.h"

#include <cstdio>
#include <string>

int main()
{
    const std::string facts = "{\"faces\":" + std::string("\"") + [] {
        std::string escaped;
        for (const char c : platform::faces())
            escaped += c == '"' ? std::string("\\\"") : std::string(1, c);
        return escaped;
    }() + "\",\"notice\":\"" + platform::css(forms::colours::notice.rgb) + "\",\"rules\":" + classroom::rulesJson() +
                              ",\"units\":" + classroom::unitsJson() + "}";
    std::fputs(facts.c_str(), stdout);
    std::fputs("\n", stdout);
    return 0;
}
