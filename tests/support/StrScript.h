#pragma once
// A little interpreter that turns arbitrary bytes into a run of Str
// operations and checks after each one what every Str must keep: the byte at
// position capacity is NUL, the text fits, and each result lies where the
// operation says. The fuzz target runs it on libFuzzer's inputs; the corpus
// test replays the kept inputs with it in both builds.
//
// Script layout: byte 0 is the number n of operation bytes, bytes 1 to n are
// the operations with their operands, and everything after them is the text
// pool, cut at its NUL bytes into the texts the operations take by number.
// Missing operand bytes read as 0, so every input is a valid script.

#include <cstddef>
#include <cstdint>
#include <string>

class Str;

// Operation codes (the byte modulo kStrOpCount) and their operand bytes.
enum StrScriptOp : uint8_t {
    kStrOpAssign,           // text number
    kStrOpAppend,           // text number
    kStrOpAppendOwnTail,    // start within the own text
    kStrOpAppendChar,       // character (made odd: never NUL)
    kStrOpCharAt,           // position (signed 16-bit)
    kStrOpSetCharAt,        // position (signed 16-bit), character
    kStrOpMid,              // start within the text, count (signed 8-bit); into the second string
    kStrOpFindChar,         // start within the text, character
    kStrOpFindLast,         // character
    kStrOpReplaceChar,      // from, to
    kStrOpGetFileName,      // none; into the second string
    kStrOpRemoveFileName,   // none
    kStrOpGetExtension,     // none; into the second string
    kStrOpReplaceExtension, // text number
    kStrOpUnquote,          // none
    kStrOpCompareNoCase,    // text number
    kStrOpReserve,          // count (16-bit, low 14 bits used)
    kStrOpAssignOther,      // none; the second string into the first
    kStrOpClear,            // none
    kStrOpCount
};

// Called around the operations that may only look at a string's text. The
// fuzz target uses it to make the bytes between the terminator and the
// capacity unreadable, so that a scan that runs past the terminator is
// reported even while it stays inside the buffer.
struct StrSeal {
    virtual void Seal(const Str& s) = 0;
    virtual void Unseal(const Str& s) = 0;

protected:
    ~StrSeal() = default;
};

// Runs the script; an empty text when every check held, otherwise what broke.
std::string RunStrScript(const uint8_t* data, size_t size, StrSeal* seal = nullptr);
