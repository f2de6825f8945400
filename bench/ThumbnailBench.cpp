// A 256-pixel thumbnail of the six-layer document, as the thumbnail handler
// makes it: the whole picture decoded from the bytes in memory, then scaled
// down with the area filter. Its anchor is the decode alone (ReadQvm), so the
// ratio shows what the scaling adds.
#include "bench/BenchDocs.h"
#include "bench/Register.h"

#include "decode/ImageBuffer.h"
#include "decode/MemorySource.h"
#include "shell/ThumbnailPicture.h"
#include "shell/ThumbnailScale.h"
#include "tests/support/DocWriter.h"

#include <vector>

namespace bench {

void RegisterThumbnailBenchmarks() {
    for (const PictureSize& size : Sizes()) {
        const std::string n = size.Name();
        Register("Thumbnail256/6layers/" + n, [size, n](benchmark::State& state) {
            const docwriter::Bytes bytes = docwriter::ReadFile(Documents(size).qvmPath);
            std::vector<uint8_t> thumbnail(256 * 256 * 4);
            for (auto _ : state) {
                MemorySource source(bytes.data(), bytes.size());
                ImageBuffer picture;
                if (DecodeThumbnailPicture(source, picture) != ThumbnailPictureStatus::Decoded) {
                    state.SkipWithError("decode failed");
                    return;
                }
                const ThumbnailSize fit = FitThumbnail(picture.width, picture.height, 256);
                if (!ScaleToThumbnail(picture, fit, thumbnail.data(), ptrdiff_t(fit.width) * 4)) {
                    state.SkipWithError("scale failed");
                    return;
                }
                benchmark::DoNotOptimize(thumbnail.data());
            }
            Account(state, size.Pixels(), size.Pixels() * 4, "ReadQvm/6layers/" + n);
        });
    }
}

} // namespace bench
