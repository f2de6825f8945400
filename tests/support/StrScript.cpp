#include "tests/support/StrScript.h"

#include "base/Str.h"

#include <cstring>
#include <vector>

namespace {

class Script {
public:
    Script(const uint8_t* data, size_t size) {
        const uint8_t* const end = data + size;
        ops = size == 0 ? end : data + 1;
        const size_t opBytes = size == 0 ? 0 : data[0];
        opEnd = size_t(end - ops) < opBytes ? end : ops + opBytes;
        // The pool is cut at every NUL; a last piece without one still counts.
        std::string piece;
        for (const uint8_t* p = opEnd; p < end; ++p) {
            if (*p == 0) {
                texts.push_back(piece);
                piece.clear();
            } else {
                piece.push_back(char(*p));
            }
        }
        texts.push_back(piece);
    }

    bool Done() const { return ops >= opEnd; }
    uint8_t Byte() { return ops < opEnd ? *ops++ : 0; }
    int32_t Signed16() {
        const uint8_t low = Byte();
        return int16_t(uint16_t(low | Byte() << 8));
    }
    const char* Text() { return texts[Byte() % texts.size()].c_str(); }

private:
    const uint8_t* ops;
    const uint8_t* opEnd;
    std::vector<std::string> texts;
};

// What every live Str keeps, whatever was done to it.
std::string CheckShape(const Str& s, const char* which) {
    if (s.data == nullptr)
        return std::string(which) + " lost its buffer";
    if (s.capacity < 63)
        return std::string(which) + " has capacity below 63";
    if (s.data[s.capacity] != 0)
        return std::string(which) + " lost the NUL at its capacity";
    if (std::memchr(s.data, 0, size_t(s.capacity) + 1) == nullptr || s.Length() > s.capacity)
        return std::string(which) + " holds a text longer than its capacity";
    return {};
}

bool EndsWith(const std::string& text, const std::string& end) {
    return end.size() <= text.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Self-appends double the text; past this length they are skipped, so a
// script of 255 of them stays a few milliseconds of work.
constexpr int32_t kMaxGrownLength = 1 << 16;

class Runner {
public:
    explicit Runner(StrSeal* seal) : seal(seal) {}

    std::string Step(Script& script) {
        const uint8_t op = script.Byte() % kStrOpCount;
        const std::string before = main.Text();
        const int32_t length = main.Length();
        const bool grows = op == kStrOpAppend || op == kStrOpAppendOwnTail || op == kStrOpAppendChar;
        if (grows && length > kMaxGrownLength)
            return {};
        switch (op) {
        case kStrOpAssign:
            main.Assign(script.Text());
            break;
        case kStrOpAppend: {
            const std::string added = script.Text();
            main.Append(added.c_str());
            if (main.Text() != before + added)
                return "Append lost text";
            break;
        }
        case kStrOpAppendOwnTail: {
            // The appended text lies in the buffer that may move underneath.
            const int32_t from = script.Byte() % (length + 1);
            main.Append(main.Text() + from);
            if (main.Text() != before + before.substr(size_t(from)))
                return "Append of its own tail lost text";
            break;
        }
        case kStrOpAppendChar: {
            const char c = char(script.Byte() | 1); // a NUL would end the text, not append
            main.AppendChar(c);
            if (main.Text() != before + c)
                return "AppendChar lost text";
            break;
        }
        case kStrOpCharAt: {
            const int32_t i = script.Signed16();
            const char c = main.CharAt(i);
            if (c != ((i >= 0 && i <= main.capacity) ? main.data[i] : 0))
                return "CharAt gave the wrong byte";
            break;
        }
        case kStrOpSetCharAt: {
            const int32_t i = script.Signed16();
            const char c = char(script.Byte());
            main.SetCharAt(i, c);
            break;
        }
        case kStrOpMid: {
            const int32_t start = script.Byte() % (length + 1); // never beyond the length
            const int32_t count = int8_t(script.Byte());
            Sealed(main, [&] { main.Mid(other, start, count); });
            const std::string rest = before.substr(size_t(start));
            if (other.Text() != (count < 0 ? rest : rest.substr(0, size_t(count))))
                return "Mid copied the wrong part";
            break;
        }
        case kStrOpFindChar: {
            const int32_t start = script.Byte() % (length + 1);
            const char c = char(script.Byte());
            int32_t found = 0;
            Sealed(main, [&] { found = main.FindChar(start, c); });
            if (found != -1 && (found < start || found >= length || main.data[found] != c))
                return "FindChar gave a position that does not hold the character";
            if (c == 0 && found != -1)
                return "FindChar found the terminator";
            break;
        }
        case kStrOpFindLast: {
            const char c = char(script.Byte());
            int32_t found = 0;
            Sealed(main, [&] { found = main.FindLast(c); });
            if (found != -1 && (found < 0 || found >= length || main.data[found] != c))
                return "FindLast gave a position that does not hold the character";
            break;
        }
        case kStrOpReplaceChar: {
            const char from = char(script.Byte());
            const char to = char(script.Byte());
            Sealed(main, [&] { main.ReplaceChar(from, to); });
            if (std::memchr(main.data, 0, size_t(length) + 1) == nullptr || main.data[length] != 0)
                return "ReplaceChar moved the terminator";
            break;
        }
        case kStrOpGetFileName:
            Sealed(main, [&] { main.GetFileName(other); });
            if (!EndsWith(before, other.Text()))
                return "GetFileName gave a text that does not end the path";
            break;
        case kStrOpRemoveFileName:
            Sealed(main, [&] { main.RemoveFileName(); });
            if (before.compare(0, size_t(main.Length()), main.Text()) != 0)
                return "RemoveFileName left a text that does not start the path";
            break;
        case kStrOpGetExtension:
            Sealed(main, [&] { main.GetExtension(other); });
            if (!EndsWith(before, other.Text()))
                return "GetExtension gave a text that does not end the path";
            break;
        case kStrOpReplaceExtension: {
            const std::string ext = script.Text();
            const int32_t dot = main.ReplaceExtension(ext.c_str());
            if (dot == -1 ? main.Text() != before : main.Text() != before.substr(0, size_t(dot) + 1) + ext)
                return "ReplaceExtension made the wrong text";
            break;
        }
        case kStrOpUnquote:
            Sealed(main, [&] { main.Unquote(); });
            if (length >= 3 && before[0] == '"' ? main.Text() != before.substr(1, size_t(length) - 2)
                                                : main.Text() != before)
                return "Unquote made the wrong text";
            break;
        case kStrOpCompareNoCase: {
            const std::string same = main.Text();
            int result = 1;
            Sealed(main, [&] { result = main.CompareNoCase(same.c_str()); });
            if (result != 0)
                return "CompareNoCase of a text with itself is not 0";
            Sealed(main, [&] { main.CompareNoCase(script.Text()); });
            break;
        }
        case kStrOpReserve: {
            const int32_t n = script.Signed16() & 0x3FFF;
            main.Reserve(n);
            if (main.capacity < n || main.Text() != before)
                return "Reserve lost capacity or text";
            break;
        }
        case kStrOpAssignOther:
            main.Assign(other.Text());
            if (main.Text() != std::string(other.Text()))
                return "Assign of another Str lost text";
            break;
        case kStrOpClear:
            main.Clear();
            break;
        }
        std::string problem = CheckShape(main, "the string");
        if (problem.empty())
            problem = CheckShape(other, "the second string");
        return problem;
    }

private:
    template <typename F> void Sealed(const Str& s, F operation) {
        if (seal != nullptr)
            seal->Seal(s);
        operation();
        if (seal != nullptr)
            seal->Unseal(s);
    }

    StrSeal* seal;
    Str main;
    Str other;
};

} // namespace

std::string RunStrScript(const uint8_t* data, size_t size, StrSeal* seal) {
    Script script(data, size);
    Runner runner(seal);
    int step = 0;
    while (!script.Done()) {
        const std::string problem = runner.Step(script);
        if (!problem.empty())
            return problem + " at operation " + std::to_string(step);
        ++step;
    }
    return {};
}
