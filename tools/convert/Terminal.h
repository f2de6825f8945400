#pragma once
// Whether the standard error stream is an interactive terminal, where a
// progress line that rewrites itself makes sense (Terminal_win.cpp,
// Terminal_posix.cpp).

bool StderrIsTerminal();
