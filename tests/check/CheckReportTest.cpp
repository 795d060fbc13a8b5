// The check tool's report: the verdict it names, its text lines, its JSON and
// its command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/CheckReport.h"

namespace promo::check {
namespace {

// Gates in the program's order, each passing unless named in `blocking`;
// quiet-time's tests likewise (named "quiet-time/<test>").
Report MakeReport(const std::vector<std::string>& blocking) {
    auto status = [&](const std::string& name) {
        for (const std::string& b : blocking)
            if (b == name) return Status::blocks;
        return Status::pass;
    };
    Report report;
    for (const char* gate : {"uptime", "campaign-end", "install-age", "shown-marker", "japanese-system"})
        report.gates.emplace_back(gate, L"read", status(gate));
    Entry quiet("quiet-time", L"focus mode on", status("quiet-time"));
    for (const char* test : {"focus-mode", "full-screen", "focus-assist", "focus-apps"})
        quiet.tests.emplace_back(test, L"read", status(std::string("quiet-time/") + test));
    report.gates.push_back(quiet);
    report.details.emplace_back("language", L"EN (fallback)");
    return report;
}

TEST(CheckVerdict, NamesTheFirstGateThatBlocksInTheProgramsOrder) {
    struct Case {
        std::vector<std::string> blocking;
        const char* verdict;
        int exitCode;
    };
    const Case cases[] = {
        {{}, "show", 0},
        {{"campaign-end"}, "held back by campaign-end", 1},
        {{"shown-marker", "install-age"}, "held back by install-age", 1},
        {{"japanese-system", "quiet-time", "quiet-time/focus-apps"}, "held back by japanese-system", 1},
        {{"quiet-time", "quiet-time/focus-assist", "quiet-time/focus-apps"},
         "held back by quiet-time (focus-assist)",
         1},
        // A quiet time whose blocking test is not marked still names the gate.
        {{"quiet-time"}, "held back by quiet-time", 1},
        // A blocking test under a passing gate (focus mode off) holds nothing back.
        {{"quiet-time/full-screen"}, "show", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.verdict);
        const Report report = MakeReport(c.blocking);
        EXPECT_EQ(Verdict(report), c.verdict);
        EXPECT_EQ(ExitCode(report), c.exitCode);
    }
}

TEST(CheckText, OneLinePerGateTestsIndentedDetailsWithoutResultVerdictLast) {
    Report report;
    report.gates.emplace_back("install-age", L"instTime1 missing: no install time", Status::blocks);
    Entry quiet("quiet-time", L"focus mode off", Status::pass);
    quiet.tests.emplace_back("focus-mode", L"FocusMode=0: off", Status::pass);
    report.gates.push_back(quiet);
    report.details.emplace_back("language", L"SV (lang.dat)");
    report.details.emplace_back("build", L"campaign end 2099-12-31; Stäng");
    EXPECT_EQ(FormatText(report),
              L"install-age: instTime1 missing: no install time: blocks\n"
              L"quiet-time: focus mode off: pass\n"
              L"  focus-mode: FocusMode=0: off: pass\n"
              L"language: SV (lang.dat)\n"
              L"build: campaign end 2099-12-31; Stäng\n"
              L"verdict: held back by install-age\n");
}

TEST(CheckJson, OneObjectWithAFieldPerGateTestsNestedAndNumbersBare) {
    Report report;
    Entry uptime("uptime", L"5 s", Status::pass);
    uptime.fields = {{"wait_seconds", L"0", true}, {"note", L"x"}};
    report.gates.push_back(uptime);
    Entry quiet("quiet-time", L"on", Status::blocks);
    quiet.tests.emplace_back("full-screen", L"class \"Game\"", Status::blocks);
    report.gates.push_back(quiet);
    Entry language("language", L"DE");
    language.fields = {{"code", L"DE"}};
    report.details.push_back(language);
    EXPECT_EQ(FormatJson(report),
              "{\"uptime\":{\"read\":\"5 s\",\"result\":\"pass\",\"wait_seconds\":0,\"note\":\"x\"},"
              "\"quiet-time\":{\"read\":\"on\",\"result\":\"blocks\",\"tests\":{\"full-screen\":"
              "{\"read\":\"class \\\"Game\\\"\",\"result\":\"blocks\"}}},"
              "\"language\":{\"read\":\"DE\",\"code\":\"DE\"},"
              "\"verdict\":\"held back by quiet-time (full-screen)\",\"exit_code\":1}\n");
}

TEST(CheckJson, StringsAreEscapedToPlainAscii) {
    struct Case {
        std::wstring text;
        const char* json;
    };
    const Case cases[] = {
        {L"C:\\ProgramData\\Norvi", "\"C:\\\\ProgramData\\\\Norvi\""},
        {L"say \"hi\"", "\"say \\\"hi\\\"\""},
        {L"a\r\nb\tc", "\"a\\r\\nb\\tc\""},
        {std::wstring(L"nul\0bell\x07", 9), "\"nul\\u0000bell\\u0007\""},
        {L"\x7f", "\"\\u007f\""},
        {L"Schließen €", "\"Schlie\\u00dfen \\u20ac\""},
        {L"Закрыть", "\"\\u0417\\u0430\\u043a\\u0440\\u044b\\u0442\\u044c\""},
        {L"", "\"\""},
    };
    for (const Case& c : cases) EXPECT_EQ(JsonString(c.text), c.json);
    // A character beyond the basic plane becomes a surrogate pair, whatever
    // the width of wchar_t.
    std::wstring smile;
    if constexpr (sizeof(wchar_t) == 2) {
        smile = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    } else {
        smile = {static_cast<wchar_t>(0x1F600)};
    }
    EXPECT_EQ(JsonString(smile), "\"\\ud83d\\ude00\"");
}

TEST(CheckArguments, JsonAndDelayOrAnErrorThatExplains) {
    struct Case {
        std::vector<std::wstring> args;
        bool ok;
        bool json;
        unsigned delay;
    };
    const Case cases[] = {
        {{}, true, false, 0},
        {{L"--json"}, true, true, 0},
        {{L"--delay", L"5"}, true, false, 5},
        {{L"--delay=7", L"--json"}, true, true, 7},
        {{L"--json", L"--delay", L"86400"}, true, true, 86400},
        {{L"--delay"}, false, false, 0},
        {{L"--delay", L"x"}, false, false, 0},
        {{L"--delay", L"-1"}, false, false, 0},
        {{L"--delay", L""}, false, false, 0},
        {{L"--delay", L"86401"}, false, false, 0},
        {{L"--delay", L"1", L"--delay", L"2"}, false, false, 0},
        {{L"--json", L"--json"}, false, false, 0},
        {{L"/kv"}, false, false, 0},
        {{L"--JSON"}, false, false, 0},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += std::string(a.begin(), a.end()) + " ";
        SCOPED_TRACE(joined);
        const Options options = ParseArguments(c.args);
        EXPECT_EQ(options.error.empty(), c.ok);
        if (c.ok) {
            EXPECT_EQ(options.json, c.json);
            EXPECT_EQ(options.delaySeconds, c.delay);
        }
    }
}

}  // namespace
}  // namespace promo::check
