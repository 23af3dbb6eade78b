// Step scripts: the parser and the runner that plays them against a process.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <map>
#include <ostream>
#include <sstream>

#include "robot.h"

namespace zynrobot {

namespace {

// ---- parsing -------------------------------------------------------------------

// One word of a line. A word holding an unquoted '=' splits into left and
// right ("350~=text" gives left "350~", right "text"); whole is the word
// with quotes and escapes resolved and nothing split.
struct Word {
    std::string whole;
    std::string left;
    std::string right;
    bool hasEquals = false;
};

bool SplitWords(std::string_view line, std::vector<Word>& words, std::string& error) {
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        Word word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            if (line[i] == '"') {
                ++i;
                bool closed = false;
                while (i < line.size()) {
                    char c = line[i];
                    if (c == '"') {
                        if (i + 1 < line.size() && line[i + 1] == '"') {
                            c = '"';
                            ++i;
                        } else {
                            closed = true;
                            ++i;
                            break;
                        }
                    } else if (c == '\\' && i + 1 < line.size() && (line[i + 1] == 'n' || line[i + 1] == '\\')) {
                        c = line[i + 1] == 'n' ? '\n' : '\\';
                        ++i;
                    }
                    word.whole += c;
                    (word.hasEquals ? word.right : word.left) += c;
                    ++i;
                }
                if (!closed) {
                    error = "unterminated quote";
                    return false;
                }
                continue;
            }
            word.whole += line[i];
            if (line[i] == '=' && !word.hasEquals) {
                word.hasEquals = true;
            } else {
                (word.hasEquals ? word.right : word.left) += line[i];
            }
            ++i;
        }
        words.push_back(std::move(word));
    }
    return true;
}

struct NamedId {
    const char* name;
    ControlId id;
};

// Button names as the message box ids, and the message box's text.
constexpr NamedId kNamedIds[] = {
    {"ok", IDOK},       {"cancel", IDCANCEL}, {"abort", IDABORT},       {"retry", IDRETRY},
    {"ignore", IDIGNORE}, {"yes", IDYES},     {"no", IDNO},             {"close", 8},
    {"help", 9},        {"tryagain", 10},     {"continue", 11},         {"text", kMessageBoxTextId},
};

bool ParseId(const std::string& text, ControlId& id) {
    for (const NamedId& named : kNamedIds) {
        if (_stricmp(text.c_str(), named.name) == 0) {
            id = named.id;
            return true;
        }
    }
    if (text.empty()) return false;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0' || value < -32768 || value > 65535) return false;
    id = static_cast<ControlId>(value);
    return true;
}

bool ParseSeconds(const std::string& text, DWORD& ms) {
    char* end = nullptr;
    double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(seconds > 0) || seconds > 86400) return false;
    ms = static_cast<DWORD>(std::lround(seconds * 1000));
    return true;
}

bool ParseExitCode(const std::string& text, uint32_t& code) {
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || value < INT32_MIN || value > UINT32_MAX) return false;
    code = static_cast<uint32_t>(value);
    return true;
}

bool ValidShotName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == '.';
    });
}

// Reads "key=value" words into conditions; timeout= goes to the step.
bool ParseConditions(const std::vector<Word>& words, size_t first, bool allowTemplate, Step& step,
                     std::string& error) {
    for (size_t i = first; i < words.size(); ++i) {
        const Word& w = words[i];
        if (!w.hasEquals) {
            error = "expected KEY=VALUE, found \"" + w.whole + "\"";
            return false;
        }
        Condition c;
        std::string key = w.left;
        if (!key.empty() && key.back() == '~') {
            c.contains = true;
            key.pop_back();
        }
        c.value = w.right;
        if (key == "timeout") {
            if (c.contains || !ParseSeconds(w.right, step.timeoutMs)) {
                error = "timeout wants seconds, found \"" + w.right + "\"";
                return false;
            }
            continue;
        }
        if (key == "caption") {
            c.key = Condition::Key::Caption;
        } else if (key == "template") {
            if (!allowTemplate || c.contains || c.value.empty()) {
                error = allowTemplate ? "template wants a name" : "template only fits expect";
                return false;
            }
            c.key = Condition::Key::Template;
        } else if (ParseId(key, c.id)) {
            c.key = Condition::Key::Control;
        } else {
            error = "unknown condition \"" + key + "\"";
            return false;
        }
        step.conditions.push_back(std::move(c));
    }
    return true;
}

bool ParseStep(const std::vector<Word>& words, Step& step, std::string& error) {
    const std::string& verb = words[0].whole;
    const size_t args = words.size() - 1;
    auto needArgs = [&](size_t n, const char* usage) {
        if (args != n) error = std::string("usage: ") + usage;
        return args == n;
    };
    auto needId = [&](const char* usage) {
        if (!needArgs(1, usage)) return false;
        if (!ParseId(words[1].whole, step.id)) {
            error = "not a control id: \"" + words[1].whole + "\"";
            return false;
        }
        return true;
    };
    if (verb == "expect" || verb == "allow") {
        step.verb = verb == "expect" ? Verb::Expect : Verb::Allow;
        if (args < 1 || (words[1].whole != "dialog" && words[1].whole != "messagebox")) {
            error = "usage: " + verb + " dialog|messagebox CONDITION...";
            return false;
        }
        step.kind = words[1].whole == "dialog" ? DialogKind::Dialog : DialogKind::MessageBox;
        return ParseConditions(words, 2, true, step, error);
    }
    if (verb == "select") {
        step.verb = Verb::Select;
        if (args < 1) {
            error = "usage: select CONDITION...";
            return false;
        }
        return ParseConditions(words, 1, true, step, error);
    }
    if (verb == "assert") {
        step.verb = Verb::Assert;
        if (args < 1) {
            error = "usage: assert CONDITION...";
            return false;
        }
        if (!ParseConditions(words, 1, false, step, error)) return false;
        if (step.timeoutMs != 0) {
            error = "assert does not wait";
            return false;
        }
        return true;
    }
    if (verb == "set") {
        step.verb = Verb::Set;
        if (!needArgs(2, "set ID TEXT")) return false;
        if (!ParseId(words[1].whole, step.id)) {
            error = "not a control id: \"" + words[1].whole + "\"";
            return false;
        }
        step.value = words[2].whole;
        return true;
    }
    if (verb == "check" || verb == "uncheck" || verb == "click") {
        step.verb = verb == "check" ? Verb::Check : verb == "uncheck" ? Verb::Uncheck : Verb::Click;
        return needId((verb + " ID").c_str());
    }
    if (verb == "close") {
        step.verb = Verb::Close;
        return needArgs(0, "close");
    }
    if (verb == "gone") {
        step.verb = Verb::Gone;
        if (!ParseConditions(words, 1, false, step, error)) return false;
        if (!step.conditions.empty()) {
            error = "usage: gone [timeout=SECONDS]";
            return false;
        }
        return true;
    }
    if (verb == "shot") {
        step.verb = Verb::Shot;
        if (!needArgs(1, "shot NAME")) return false;
        step.value = words[1].whole;
        if (!ValidShotName(step.value)) {
            error = "a shot name uses letters, digits, '-', '_' and '.'";
            return false;
        }
        return true;
    }
    if (verb == "exit") {
        step.verb = Verb::Exit;
        if (args < 1 || !ParseExitCode(words[1].whole, step.exitCode)) {
            error = "usage: exit CODE [timeout=SECONDS]";
            return false;
        }
        if (!ParseConditions(words, 2, false, step, error)) return false;
        if (!step.conditions.empty()) {
            error = "usage: exit CODE [timeout=SECONDS]";
            return false;
        }
        return true;
    }
    error = "unknown step \"" + verb + "\"";
    return false;
}

// ---- running -------------------------------------------------------------------

// A new dialog may get its texts just after it shows; judge it only after this.
constexpr DWORD kSettleMs = 500;
constexpr int kStrikes = 4;  // looks in a row

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out + "\"";
}

std::string IdsText(const std::vector<ControlId>& ids) {
    std::string out = "[";
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i) out += ' ';
        out += std::to_string(ids[i]);
    }
    return out + "]";
}

class Runner {
public:
    Runner(const Process& process, const RunOptions& options) : process_(process), options_(options) {}

    RunResult Run(const std::vector<Step>& steps) {
        start_ = GetTickCount();
        // Resolve every template first: a misspelt name fails before anything runs.
        for (const Step& step : steps) {
            for (const Condition& c : step.conditions) {
                if (c.key != Condition::Key::Template || templates_.count(c.value)) continue;
                std::string error;
                auto ids = TemplateIds(options_.resourceModules, c.value, error);
                if (!ids) return Failure(step, error);
                templates_[c.value] = *ids;
            }
        }
        for (const Step& step : steps) {
            Log(step.line, step.source);
            RunResult r = Do(step);
            if (!r.ok) return r;
        }
        return RunResult{true, 0, {}};
    }

private:
    RunResult Do(const Step& step) {
        Prune();
        switch (step.verb) {
            case Verb::Expect: return Expect(step);
            case Verb::Gone: return Gone(step);
            case Verb::Exit: return Exit(step);
            case Verb::Shot: return Shot(step);
            case Verb::Allow:
                allowed_.push_back(&step);
                return Ok();
            case Verb::Select: return Select(step);
            default: break;
        }
        if (stack_.empty()) return Failure(step, "no current dialog: expect one first");
        HWND current = stack_.back();
        if (!IsOpen(current)) return Failure(step, "the current dialog has closed");
        switch (step.verb) {
            case Verb::Assert: {
                std::string why;
                if (!Matches(Inspect(current), step, why)) return Failure(step, why);
                return Ok();
            }
            case Verb::Set: {
                if (!ControlText(current, step.id)) return Failure(step, NoControl(step.id));
                if (!SetControlText(current, step.id, step.value) || ControlText(current, step.id) != step.value) {
                    return Failure(step, "control " + std::to_string(step.id) + " did not take the text");
                }
                return Ok();
            }
            case Verb::Click: {
                if (auto why = NotAButton(current, step.id)) return Failure(step, *why);
                if (!Click(current, step.id)) return Failure(step, "button " + std::to_string(step.id) + " is disabled");
                return Ok();
            }
            case Verb::Check:
            case Verb::Uncheck: return SetCheck(step, current, step.verb == Verb::Check);
            case Verb::Close:
                Close(current);
                return Ok();
            default: return Failure(step, "unhandled step");
        }
    }

    RunResult Expect(const Step& step) {
        return Wait(step, [&](const std::vector<HWND>& fresh, std::string&) -> bool {
            for (HWND dialog : fresh) {
                std::string why;
                if (Matches(Inspect(dialog), step, why)) {
                    stack_.push_back(dialog);
                    return true;
                }
                mismatch_[dialog] = why;
            }
            return false;
        }, false);
    }

    RunResult Select(const Step& step) {
        for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
            std::string why;
            if (!IsOpen(*it) || !Matches(Inspect(*it), step, why)) continue;
            HWND chosen = *it;
            stack_.erase(std::next(it).base());
            stack_.push_back(chosen);
            return Ok();
        }
        return Failure(step, "no open expected dialog like this; now showing: " + DescribeDialogs(process_.Id()));
    }

    RunResult Gone(const Step& step) {
        if (stack_.empty()) return Failure(step, "no current dialog");
        HWND current = stack_.back();
        RunResult r = Wait(step, [&](const std::vector<HWND>&, std::string&) { return !IsOpen(current); }, true);
        if (r.ok) stack_.pop_back();
        return r;
    }

    RunResult Exit(const Step& step) {
        std::optional<DWORD> code;
        RunResult r = Wait(step, [&](const std::vector<HWND>&, std::string&) { return (code = process_.ExitCode()).has_value(); },
                           true);
        if (!r.ok) return r;
        if (*code != step.exitCode) {
            return Failure(step, "exit code " + CodeText(*code) + ", wanted " + CodeText(step.exitCode));
        }
        return Ok();
    }

    RunResult Shot(const Step& step) {
        std::string error;
        if (options_.shotDir.empty()) {
            Log(step.line, "(no screenshot directory: skipped)");
        } else if (!TakeShot(options_.shotCommand, options_.shotDir, step.value, error)) {
            Log(step.line, "(screenshot failed: " + error + ")");  // a picture is a diagnostic, not a check
        }
        return Ok();
    }

    RunResult SetCheck(const Step& step, HWND current, bool wanted) {
        if (auto why = NotAButton(current, step.id)) return Failure(step, *why);
        auto state = IsChecked(current, step.id);
        if (!state) return Failure(step, "button " + std::to_string(step.id) + " does not answer");
        if (*state == wanted) return Ok();
        if (!Click(current, step.id)) return Failure(step, "button " + std::to_string(step.id) + " is disabled");
        const DWORD begin = GetTickCount();
        while (GetTickCount() - begin < Timeout(step)) {
            if (IsChecked(current, step.id) == wanted) return Ok();
            Sleep(options_.pollMs);
        }
        return Failure(step, "button " + std::to_string(step.id) + (wanted ? " did not become checked" : " stayed checked"));
    }

    // Polls until done() says so, failing on timeout, on a dialog nobody
    // expected, or (unless endIsFine) on the end of the process.
    template <typename Done>
    RunResult Wait(const Step& step, Done done, bool endIsFine) {
        const DWORD begin = GetTickCount();
        std::map<HWND, DWORD> firstSeen;
        std::map<HWND, int> strikes;
        mismatch_.clear();
        for (;;) {
            std::vector<HWND> fresh;
            for (HWND dialog : VisibleDialogs(process_.Id())) {
                if (std::find(stack_.begin(), stack_.end(), dialog) == stack_.end()) fresh.push_back(dialog);
            }
            std::string why;
            if (done(fresh, why)) return Ok();
            const DWORD now = GetTickCount();
            // An unexpected dialog fails the step only when several looks in a row find it so:
            // one caught while it is being built or torn down may show other controls for a moment.
            for (HWND dialog : fresh) {
                auto seen = firstSeen.emplace(dialog, now).first->second;
                if (now - seen < kSettleMs) continue;
                if (!IsOpen(dialog) || Allowed(dialog)) {
                    strikes.erase(dialog);
                } else if (++strikes[dialog] >= kStrikes) {
                    std::string message = "unexpected " + Inspect(dialog).Describe();
                    if (!mismatch_[dialog].empty()) message += "  (differs from the expected one: " + mismatch_[dialog] + ")";
                    return Failure(step, message);
                }
            }
            if (!endIsFine) {
                if (auto code = process_.ExitCode()) {
                    return Failure(step, "the process ended with exit code " + CodeText(*code) + " while waiting");
                }
            }
            if (now - begin >= Timeout(step)) {
                char seconds[32];
                snprintf(seconds, sizeof seconds, "%.1f", Timeout(step) / 1000.0);
                return Failure(step, std::string("timed out after ") + seconds + " s; now showing: " +
                                         DescribeDialogs(process_.Id()));
            }
            Sleep(options_.pollMs);
        }
    }

    bool Allowed(HWND dialog) {
        std::string why;
        for (const Step* allow : allowed_) {
            if (Matches(Inspect(dialog), *allow, why)) return true;
        }
        return false;
    }

    bool Matches(const DialogInfo& dialog, const Step& step, std::string& why) {
        if ((step.verb == Verb::Expect || step.verb == Verb::Allow) && dialog.IsMessageBox() != (step.kind == DialogKind::MessageBox)) {
            why = step.kind == DialogKind::MessageBox ? "not a message box" : "a message box, not a dialog";
            return false;
        }
        bool all = true;
        for (const Condition& c : step.conditions) {
            std::string actual;
            std::string name;
            switch (c.key) {
                case Condition::Key::Caption:
                    actual = dialog.caption;
                    name = "caption";
                    break;
                case Condition::Key::Template: {
                    const auto& ids = templates_[c.value];
                    if (dialog.Ids() != ids) {
                        why += (why.empty() ? "" : "; ") + std::string("controls ") + IdsText(dialog.Ids()) +
                               " are not those of " + c.value + " " + IdsText(ids);
                        all = false;
                    }
                    continue;
                }
                case Condition::Key::Control: {
                    const Control* control = dialog.Find(c.id);
                    name = "control " + std::to_string(c.id);
                    if (control == nullptr) {
                        why += (why.empty() ? "" : "; ") + NoControl(c.id);
                        all = false;
                        continue;
                    }
                    actual = control->text;
                    break;
                }
            }
            const bool ok = c.contains ? actual.find(c.value) != std::string::npos : actual == c.value;
            if (!ok) {
                why += (why.empty() ? "" : "; ") + name + " is " + Quoted(actual) +
                       (c.contains ? ", wanted it to contain " : ", wanted ") + Quoted(c.value);
                all = false;
            }
        }
        return all;
    }

    // Forgets expected dialogs that no longer exist.
    void Prune() {
        stack_.erase(std::remove_if(stack_.begin(), stack_.end(), [](HWND w) { return !IsWindow(w); }), stack_.end());
    }

    DWORD Timeout(const Step& step) const {
        if (step.timeoutMs) return step.timeoutMs;
        return step.verb == Verb::Exit ? options_.exitTimeoutMs : options_.timeoutMs;
    }

    static std::string NoControl(ControlId id) { return "no control " + std::to_string(id); }

    static std::optional<std::string> NotAButton(HWND dialog, ControlId id) {
        auto className = ControlClass(dialog, id);
        if (!className) return NoControl(id);
        if (_stricmp(className->c_str(), "Button") != 0) {
            return "control " + std::to_string(id) + " (" + *className + ") is not a button";
        }
        return std::nullopt;
    }

    static std::string CodeText(DWORD code) {
        return std::to_string(static_cast<int32_t>(code)) + (static_cast<int32_t>(code) < 0 ? " (0x" + Hex(code) + ")" : "");
    }
    static std::string Hex(DWORD v) {
        std::ostringstream out;
        out << std::uppercase << std::hex << v;
        return out.str();
    }

    void Log(int line, const std::string& text) {
        if (options_.log == nullptr) return;
        const double seconds = (GetTickCount() - start_) / 1000.0;
        char stamp[32];
        snprintf(stamp, sizeof stamp, "%8.3fs", seconds);
        *options_.log << "robot " << stamp << " line " << line << ": " << text << std::endl;
    }

    static RunResult Ok() { return RunResult{true, 0, {}}; }
    static RunResult Failure(const Step& step, const std::string& message) {
        return RunResult{false, step.line, "line " + std::to_string(step.line) + " (" + step.source + "): " + message};
    }

    const Process& process_;
    const RunOptions& options_;
    std::vector<HWND> stack_;  // expected dialogs, newest last
    std::map<std::string, std::vector<ControlId>> templates_;
    std::vector<const Step*> allowed_;       // "allow" steps met so far
    std::map<HWND, std::string> mismatch_;  // why each new dialog is not the awaited one
    DWORD start_ = 0;
};

}  // namespace

bool ParseScript(std::string_view text, std::vector<Step>& steps, std::string& error) {
    steps.clear();
    int number = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') continue;
        std::vector<Word> words;
        Step step;
        step.line = number;
        step.source = std::string(line.substr(first));
        std::string why;
        if (!SplitWords(line, words, why) || !ParseStep(words, step, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

RunResult RunScript(const Process& process, const std::vector<Step>& steps, const RunOptions& options) {
    return Runner(process, options).Run(steps);
}

}  // namespace zynrobot
