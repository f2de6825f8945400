#include "base/ByteFile.h"

bool ByteFile::Close() {
    // Whatever was read ahead belongs to the file closed.
    ForgetReadAhead();
    return file.Close();
}

uint32_t ByteFile::ReadFromSource(void* buffer, uint32_t count) {
    return file.IsClosed() ? 0 : ReadFromFile(buffer, count);
}

int64_t ByteFile::SeekInSource(int64_t distance, Origin origin) {
    return file.Seek(distance, origin);
}
