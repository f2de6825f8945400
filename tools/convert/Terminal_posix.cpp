#include "tools/convert/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <clocale>

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

size_t TerminalColumns() {
    winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void PrepareLocale() {
    std::setlocale(LC_CTYPE, "");
}
