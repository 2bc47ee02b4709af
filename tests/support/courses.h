// What every test of a teacher's courses asks: a course read from its
// link text, and whether a sum is one that course may pose.
#pragma once

#include "game/practice.h"

#include <QtGlobal>
#include <string>

namespace testing {

inline game::Course courseOf(const std::string& text)
{
    const game::Practice p = game::readPractice("course=" + text);
    if (p.courses.size() != 1)
        qFatal("%s: %s", text.c_str(), game::notice(p).c_str());
    return p.courses[0];
}

// What a sum of each kind must be, whatever was drawn.
inline bool keepsItsCourse(const game::Course& c, const game::Sum& s)
{
    const std::string_view kind = c.kind->form().word;
    const auto inRange = [&](int v) { return v >= c.from && v <= c.to; };
    if (kind == "times")
        return s.op == game::Op::Times && c.hasTable(s.num1) && s.num2 >= 1 && s.num2 <= 9 && s.answer == s.num1 * s.num2;
    if (kind == "div") {
        const bool rest = c.option == 1 ? s.rest >= 1 : c.option == 2 || s.rest == 0;
        return s.op == game::Op::Divide && c.hasTable(s.num2) && s.answer >= 1 && s.answer <= 9 && rest &&
               s.rest < s.num2 && s.num1 == s.num2 * s.answer + s.rest;
    }
    if (kind == "add" || kind == "sub") {
        const bool add = kind == "add";
        const bool carried = add ? s.num1 % 10 + s.num2 % 10 >= 10 : s.num1 % 10 < s.num2 % 10;
        return s.op == (add ? game::Op::Plus : game::Op::Minus) && inRange(s.num1) && inRange(s.num2) &&
               s.answer == (add ? s.num1 + s.num2 : s.num1 - s.num2) && s.answer >= 0 &&
               (c.option == 0 || carried == (c.option == 1));
    }
    if (kind == "make")
        return inRange(s.num1) && s.num2 >= 1 && s.answer >= 1 && s.num2 + s.answer == s.num1;
    if (kind == "three") {
        const auto apply = [](int a, game::Op op, int b) { return op == game::Op::Minus ? a - b : a + b; };
        const int first = apply(s.num1, s.op, s.num2);
        const bool ops = c.option == 1 ? s.op == game::Op::Plus && s.op2 == game::Op::Plus
                         : c.option == 2 ? s.op == game::Op::Minus && s.op2 == game::Op::Minus
                                         : true;
        return ops && inRange(s.num1) && inRange(s.num2) && inRange(s.num3) && first >= 0 &&
               s.answer == apply(first, s.op2, s.num3) && s.answer >= 0;
    }
    return false;
}

}  // namespace testing
