// The check tool's report: one entry per gate of the show decision, in the
// program's order, then the language, the purchase address, the statistics
// request and the build, and the verdict. Formatted as text lines or as one
// JSON object; no Win32 here, so the formatting is tested natively.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace promo::check {

enum class Status { info, pass, blocks };

struct Entry {
    Entry() = default;
    Entry(std::string name_, std::wstring read_, Status status_ = Status::info)
        : name(std::move(name_)), read(std::move(read_)), status(status_) {}

    std::string name;   // "uptime", "campaign-end", ... (quiet-time's tests: "focus-mode", ...)
    std::wstring read;  // what was read, with its source
    Status status = Status::info;
    // Values a reader of the JSON wants on their own (the wait in seconds, the
    // language code, the addresses), in order. A numeric field is written as
    // a JSON number (its value must then be decimal digits).
    struct Field {
        std::string key;
        std::wstring value;
        bool numeric = false;
    };
    std::vector<Field> fields;
    std::vector<Entry> tests;  // quiet-time's four tests
};

struct Report {
    std::vector<Entry> gates;    // each with a status
    std::vector<Entry> details;  // language, purchase-address, statistics, build
};

// The first gate that blocks, as the verdict names it ("install-age", or
// "quiet-time (focus-apps)" with the first of its tests that blocks); empty
// when every gate passes.
std::string HeldBackBy(const Report& report);
// "show" or "held back by <gate>".
std::string Verdict(const Report& report);
// 0 when the window would show, 1 when it is held back.
int ExitCode(const Report& report);

// One line per gate ("name: read: pass"), quiet-time's tests indented below
// it, one line per detail ("name: read"), and "verdict: ..." last. Lines end
// with "\n".
std::wstring FormatText(const Report& report);

// One JSON object: a field per gate and detail (each an object with "read",
// "result" where it has one, its own fields and, for quiet-time, "tests"),
// then "verdict" and "exit_code". ASCII only: every other character is
// written as a \u escape, so the bytes are valid in any code page.
std::string FormatJson(const Report& report);

// A JSON string literal of `text` (with the quotes).
std::string JsonString(std::wstring_view text);

// The command line: [--json] [--delay SECONDS].
struct Options {
    bool json = false;
    unsigned delaySeconds = 0;
    std::wstring error;  // not empty: the arguments cannot be used
};
Options ParseArguments(const std::vector<std::wstring>& arguments);

inline constexpr wchar_t kUsage[] = L"usage: PromoCheck.exe [--json] [--delay SECONDS]\n";

}  // namespace promo::check
