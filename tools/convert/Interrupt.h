#pragma once
// Removes the converter's temporaries when it is interrupted (Ctrl+C,
// SIGINT, SIGTERM, SIGHUP, the console window closing) and then lets the
// interruption end the program as it would have (Interrupt_win.cpp,
// Interrupt_posix.cpp).

void RemoveTemporariesOnInterrupt();
