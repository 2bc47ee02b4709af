// Times the readers of outside input (a teacher's link, a result card's QR
// text and typed code, a worksheet request) on hostile inputs of n bytes
// and of 16 n, and prints the ratio of their times: near 16 or below for a
// reader that takes linear time, near 256 for one that takes quadratic.
// Each input repeats one piece, so that every part of it is read alike.
// n = 40 keeps 16 n within what the readers read at all (a link's first
// 1024 bytes, a card of 800); n = 1024 goes past it. Each input is read
// many times, and the fastest of five rounds is kept.
//
//   bench_readers          every reader, n = 40 and n = 1024
#include "game/card.h"
#include "game/practice.h"
#include "classroom/sheet_request.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace {

std::string times(const std::string& piece, std::size_t bytes)
{
    std::string out;
    while (out.size() < bytes)
        out += piece;
    out.resize(bytes);
    return out;
}

// Nanoseconds a reading of `text` takes, the fastest of five rounds.
double perReading(const std::function<std::size_t(const std::string&)>& read, const std::string& text)
{
    constexpr int kReadings = 200;
    double best = 1e300;
    std::size_t keep = 0;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kReadings; ++i)
            keep += read(text);
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / kReadings);
    }
    // What was read is used, so the reading is not optimised away.
    return keep == 0 ? best : best + 0 * static_cast<double>(keep);
}

}  // namespace

int main()
{
    const auto link = [](const std::string& q) { return game::readPractice(q).leftOut.size() + 1; };
    const auto linkShown = [](const std::string& q) {
        const game::Practice p = game::readPractice(q);
        return game::notice(p).size() + game::practiceQuery(p).size() + game::fullNames(p.courses).size();
    };
    const auto card = [](const std::string& t) { return game::readCard(t).why.size() + 1; };
    const auto sheet = [](const std::string& q) { return classroom::sheetJson(q, false, 0, 50, 7).size(); };
    const struct {
        const char* name;
        std::function<std::size_t(const std::string&)> read;
        std::string piece;
        std::string before;
        std::string after = {};
    } rows[] = {
        {"link: parts", link, "course=times:0&", ""},
        {"link: empty parts", link, "&", ""},
        {"link: escapes", link, "%41", "course="},
        {"link: tables", link, "1-9,", "course=times:"},
        {"link: shown and written back", linkShown, "course=add:1-9:x&", ""},
        {"card: QR fields", card, "/", "PMR1"},
        {"card: missed sums", card, "1+2,", "PMR1/9ED2YWN154RNKDQWYP/0/30/25/202612091000/99/", "/"},
        {"card: typed spaces", card, "\xE3\x80\x80", ""},
        {"card: typed signs", card, "0", ""},
        {"sheet: six courses", sheet, "course=three:0-99:mix&", ""},
    };
    std::printf("%-30s %6s %12s %12s %7s\n", "reader", "n", "ns (n)", "ns (16 n)", "ratio");
    for (const auto& r : rows) {
        for (const std::size_t n : {std::size_t{40}, std::size_t{1024}}) {
            const double small = perReading(r.read, r.before + times(r.piece, n) + r.after);
            const double large = perReading(r.read, r.before + times(r.piece, 16 * n) + r.after);
            std::printf("%-30s %6zu %12.0f %12.0f %7.1f%s\n", r.name, n, small, large, large / small, large / small > 32 ? "  not linear" : "");
        }
    }
}
