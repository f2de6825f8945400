#include "tools/convert/Entry.h"

int main(int argc, char** argv) {
    return RunConverter(argc, argv);
}
