#pragma once
// What the converter needs to know of the terminal it runs in
// (Terminal_win.cpp, Terminal_posix.cpp).

#include <cstddef>
#include <string>

// Whether the standard error stream is an interactive terminal, where a
// progress line that rewrites itself makes sense.
bool StderrIsTerminal();

// The width of that terminal in columns; 80 when it cannot be asked.
size_t TerminalColumns();

// How many bytes of text fit into columns columns, cut between whole
// characters (a wide character takes two columns).
size_t FitToColumns(const std::string& text, size_t columns);

// Takes the user's locale for the encoding of file names (POSIX); nothing
// on Windows, where the ANSI code page is the system's.
void PrepareLocale();
