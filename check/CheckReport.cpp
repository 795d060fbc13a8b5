#include "check/CheckReport.h"

#include <cstdint>

namespace promo::check {
namespace {

const wchar_t* StatusWord(Status status) { return status == Status::blocks ? L"blocks" : L"pass"; }

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

void AppendLine(std::wstring& out, const std::wstring& indent, const Entry& entry) {
    out += indent + Widen(entry.name) + L": " + entry.read;
    if (entry.status != Status::info) out += std::wstring(L": ") + StatusWord(entry.status);
    out += L"\n";
}

void AppendHex4(std::string& out, unsigned unit) {
    static const char digits[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += digits[(unit >> shift) & 0xF];
}

std::string JsonEntry(const Entry& entry) {
    std::string out = "{\"read\":" + JsonString(entry.read);
    if (entry.status != Status::info)
        out += std::string(",\"result\":\"") + (entry.status == Status::blocks ? "blocks" : "pass") + "\"";
    for (const Entry::Field& field : entry.fields) {
        out += "," + JsonString(Widen(field.key)) + ":";
        out += field.numeric ? std::string(field.value.begin(), field.value.end()) : JsonString(field.value);
    }
    if (!entry.tests.empty()) {
        out += ",\"tests\":{";
        for (size_t i = 0; i < entry.tests.size(); ++i) {
            if (i) out += ",";
            out += JsonString(Widen(entry.tests[i].name)) + ":" + JsonEntry(entry.tests[i]);
        }
        out += "}";
    }
    return out + "}";
}

bool ParseCount(const std::wstring& text, unsigned& value) {
    if (text.empty() || text.size() > 6) return false;
    value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return true;
}

}  // namespace

std::string HeldBackBy(const Report& report) {
    for (const Entry& gate : report.gates) {
        if (gate.status != Status::blocks) continue;
        for (const Entry& test : gate.tests)
            if (test.status == Status::blocks) return gate.name + " (" + test.name + ")";
        return gate.name;
    }
    return {};
}

std::string Verdict(const Report& report) {
    const std::string gate = HeldBackBy(report);
    return gate.empty() ? "show" : "held back by " + gate;
}

int ExitCode(const Report& report) { return HeldBackBy(report).empty() ? 0 : 1; }

std::wstring FormatText(const Report& report) {
    std::wstring out;
    for (const Entry& gate : report.gates) {
        AppendLine(out, L"", gate);
        for (const Entry& test : gate.tests) AppendLine(out, L"  ", test);
    }
    for (const Entry& detail : report.details) AppendLine(out, L"", detail);
    return out + L"verdict: " + Widen(Verdict(report)) + L"\n";
}

std::string FormatJson(const Report& report) {
    std::string out = "{";
    for (const auto* list : {&report.gates, &report.details})
        for (const Entry& entry : *list) out += JsonString(Widen(entry.name)) + ":" + JsonEntry(entry) + ",";
    out += "\"verdict\":" + JsonString(Widen(Verdict(report)));
    out += ",\"exit_code\":" + std::to_string(ExitCode(report));
    return out + "}\n";
}

std::string JsonString(std::wstring_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c > 0xFFFF) {
            // A wide character beyond the basic plane (32-bit wchar_t): as a
            // UTF-16 surrogate pair, as JSON has it.
            const std::uint32_t v = c - 0x10000;
            AppendHex4(out, 0xD800 + ((v >> 10) & 0x3FF));
            AppendHex4(out, 0xDC00 + (v & 0x3FF));
        } else {
            AppendHex4(out, c);
        }
    }
    return out + "\"";
}

Options ParseArguments(const std::vector<std::wstring>& arguments) {
    Options options;
    bool delayGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"--json") {
            if (options.json) return Options{false, 0, L"--json given twice"};
            options.json = true;
        } else if (argument == L"--delay" || argument.rfind(L"--delay=", 0) == 0) {
            std::wstring value;
            if (argument == L"--delay") {
                if (i + 1 >= arguments.size()) return Options{false, 0, L"--delay needs a number of seconds"};
                value = arguments[++i];
            } else {
                value = argument.substr(8);
            }
            if (delayGiven) return Options{false, 0, L"--delay given twice"};
            // Up to a day: a longer wait is a typing error, not a plan.
            if (!ParseCount(value, options.delaySeconds) || options.delaySeconds > 86400)
                return Options{false, 0,
                               L"--delay takes whole seconds from 0 to 86400, not \"" + value + L"\""};
            delayGiven = true;
        } else {
            return Options{false, 0, L"unknown argument \"" + argument + L"\""};
        }
    }
    return options;
}

}  // namespace promo::check
