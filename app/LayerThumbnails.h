#pragma once
// The small pictures of a document's layers in the layers pane: each layer
// alone, its alpha shown over a checkerboard, the whole canvas shrunk by an
// area average into a square (the canvas fitted and centred, never
// enlarged, the rest of the square white). The layers are expanded one at a
// time (LayerWalk), so a document of any layer count holds one layer at its
// full size at most. Free of the platform: it runs on a thread of the
// viewer's and is checked natively.

#include <atomic>
#include <cstdint>
#include <vector>

class ImageBuffer;
struct WalkedLayer;

// side x side pixels (blue, green, red, 255), the top row first.
using Thumbnail = std::vector<uint8_t>;

// The thumbnail of layer, whose pixels (the document's size) are in pixels
// and whose bounds (WalkedLayer) say where any of them is not clear: the
// rows outside them are summed as clear without being read. False when
// memory is short or a size is 0.
bool LayerThumbnail(const ImageBuffer& pixels, const WalkedLayer& layer, int32_t side, Thumbnail& out);

// The thumbnails of the layers of the document at path, in file order
// (bottom first), as many as were read before cancel turned or the file
// ended; an empty one for a layer that could not be shrunk. False when the
// document cannot be opened or a layer's picture cannot be made.
bool DocumentLayerThumbnails(const char* path, int32_t side, const std::atomic<bool>& cancel,
                             std::vector<Thumbnail>& out);
