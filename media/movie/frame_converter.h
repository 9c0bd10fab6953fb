// Turns decoded pictures into the 32-bit BGRA pictures the controller draws.
//
// A frame is converted once, by libswscale, from the decoder's own planes straight into the
// picture at the size it is shown, so nothing stretches it again. The conversion honours what
// the stream says of its colours the way ffmpeg's own conversion does: the colour matrix
// (BT.601, BT.709, BT.2020 and the older ones; BT.601 when the stream says nothing), the range
// (limited or full, the full-range "J" formats included) and where the chroma samples sit.
// The scaler is set up again only when one of these, or a size, changes.
#pragma once

#include "common/ffmpeg_types.h"

#include <cstdint>
#include <vector>

namespace lanternix::media {

// A picture in memory: 32-bit BGRA rows, top row first. `pixels` may hold slack bytes after
// the last row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

class FrameConverter {
  public:
    // Converts `frame` into `picture` at `width` x `height`. False when the frame's format
    // cannot be converted or the scaler cannot be made.
    bool convert(const AVFrame& frame, int width, int height, Picture& picture);

  private:
    // Everything the scaler's set-up depends on.
    struct Setup {
        int source_width = 0;
        int source_height = 0;
        int source_format = AV_PIX_FMT_NONE;
        int width = 0;
        int height = 0;
        int colorspace = AVCOL_SPC_UNSPECIFIED;
        int range = AVCOL_RANGE_UNSPECIFIED;
        int chroma_location = AVCHROMA_LOC_UNSPECIFIED;
        bool operator==(const Setup&) const = default;
    };

    static Setup setup_for(const AVFrame& frame, int width, int height);
    bool prepare(const Setup& setup);
    bool make_scaler(const Setup& setup, AVPixelFormat format);
    void apply_colours(const Setup& setup, bool full_range_format);

    ScaleContextPtr m_scaler;
    Setup m_setup;
};

} // namespace lanternix::media
