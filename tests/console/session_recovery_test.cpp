// Replies lost to a full receive buffer: the units are asked again once the burst is over.
#include "tests/console/session_test_support.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

std::string Repeat(const std::string& part, int times) {
    std::string all;
    for (int i = 0; i < times; ++i)
        all += part;
    return all;
}

// Script: 'r' a unit answers, 'd' ten replies were dropped, '.' a tick. Per tick: '.' the select
// request alone, 'I' an identification request and the select request, 'P' the periodic
// identification request alone.
TEST(SessionRecovery, AskedAgainOnceTheBurstIsOverAtMostThreeTimesACycle) {
    struct Case {
        const char* rule;
        std::string script, ticks, status;
    };
    const std::string lost = " replies were lost to a full receive buffer";
    for (const Case& c : {
             Case{"nothing dropped, nothing asked", "r" + Repeat(".", 62), Repeat(".", 60) + "P.",
                  "1 unit"},
             Case{"a second without replies first", "rd.r.....", "...I..",
                  "10" + lost + "; asked again"},
             Case{"again while drops go on, three times", Repeat("rd...", 4) + "..",
                  Repeat("..I", 3) + ".....", "40" + lost + "; asked again"},
             Case{"the periodic request starts the count anew",
                  Repeat("rd...", 4) + Repeat(".", 49) + "rd...",
                  Repeat("..I", 3) + Repeat(".", 51) + "P..I", "10" + lost + "; asked again"},
         }) {
        Console console;
        std::string ticks;
        for (const char step : c.script) {
            if (step == 'r')
                console.Feed({1});
            else if (step == 'd')
                console.session->RepliesDropped(10);
            else {
                const std::string sent = console.Tick();
                ticks += sent == "select 1"             ? '.'
                         : sent == "identify, select 1" ? 'I'
                         : sent == "identify"           ? 'P'
                                                        : '?';
            }
        }
        EXPECT_EQ(ticks, c.ticks) << c.rule;
        EXPECT_EQ(console.session.State().StatusText(), c.status) << c.rule;
    }
}

} // namespace
} // namespace tarnwick::test
