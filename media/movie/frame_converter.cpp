#include "movie/frame_converter.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace lanternix::media {

namespace {

// Bytes the scaler may store beyond the end of a row (its widest vector store, and some).
constexpr size_t scaler_slack = 64;

// The "J" formats are their plain counterparts at full range. The scaler is given the plain
// format and the range separately, which is what it does with them itself.
AVPixelFormat plain_format(AVPixelFormat format, bool& full_range) {
    full_range = true;
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        return AV_PIX_FMT_YUV411P;
    default:
        full_range = false;
        return format;
    }
}

// The matrix for a stream's colour space, chosen as ffmpeg's own conversion chooses it: the
// stream's when the scaler knows it, BT.601 when the stream says nothing or names one it
// does not know.
const int* matrix_for(int colorspace) {
    if (colorspace < AVCOL_SPC_BT709 || colorspace > AVCOL_SPC_BT2020_CL ||
        colorspace == AVCOL_SPC_YCGCO)
        colorspace = AVCOL_SPC_BT470BG;
    return sws_getCoefficients(colorspace);
}

} // namespace

FrameConverter::Setup FrameConverter::setup_for(const AVFrame& frame, int width, int height) {
    Setup setup;
    setup.source_width = frame.width;
    setup.source_height = frame.height;
    setup.source_format = frame.format;
    setup.width = width;
    setup.height = height;
    setup.colorspace = frame.colorspace;
    setup.range = frame.color_range;
    setup.chroma_location = frame.chroma_location;
    return setup;
}

bool FrameConverter::make_scaler(const Setup& setup, AVPixelFormat format) {
    ScaleContextPtr scaler(sws_alloc_context());
    if (!scaler) return false;
    SwsContext* raw = scaler.get();
    av_opt_set_int(raw, "srcw", setup.source_width, 0);
    av_opt_set_int(raw, "srch", setup.source_height, 0);
    av_opt_set_int(raw, "src_format", format, 0);
    av_opt_set_int(raw, "dstw", setup.width, 0);
    av_opt_set_int(raw, "dsth", setup.height, 0);
    av_opt_set_int(raw, "dst_format", AV_PIX_FMT_BGRA, 0);
    // ffmpeg's own conversions filter with bicubic weights; formats without a direct
    // conversion (4:1:0 chroma, for one) are upsampled through them even at equal sizes.
    av_opt_set_int(raw, "sws_flags", SWS_BICUBIC, 0);
    // Chroma siting matters only along an axis where chroma is subsampled; the scaler takes
    // positions in 1/256 of a luma sample, as the codec library gives them.
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    int x = 0, y = 0;
    if (descriptor && setup.chroma_location != AVCHROMA_LOC_UNSPECIFIED &&
        avcodec_enum_to_chroma_pos(&x, &y, static_cast<AVChromaLocation>(setup.chroma_location)) ==
            0) {
        if (descriptor->log2_chroma_w > 0) av_opt_set_int(raw, "src_h_chr_pos", x, 0);
        if (descriptor->log2_chroma_h > 0) av_opt_set_int(raw, "src_v_chr_pos", y, 0);
    }
    if (sws_init_context(raw, nullptr, nullptr) < 0) return false;
    m_scaler = std::move(scaler);
    return true;
}

void FrameConverter::apply_colours(const Setup& setup, bool full_range_format) {
    int* source_matrix = nullptr;
    int* matrix = nullptr;
    int source_full = 0, full = 0, brightness = 0, contrast = 0, saturation = 0;
    // Refused for sources that are not YUV, which have no matrix or range to apply.
    if (sws_getColorspaceDetails(m_scaler.get(), &source_matrix, &source_full, &matrix, &full,
                                 &brightness, &contrast, &saturation) < 0)
        return;
    // The range the stream states wins; a "J" format is full range unless it says otherwise;
    // else the scaler's own default stands (limited for YUV, full for grey).
    if (setup.range != AVCOL_RANGE_UNSPECIFIED)
        source_full = setup.range == AVCOL_RANGE_JPEG;
    else if (full_range_format)
        source_full = 1;
    const int* stream_matrix = matrix_for(setup.colorspace);
    sws_setColorspaceDetails(m_scaler.get(), stream_matrix, source_full, stream_matrix, full,
                             brightness, contrast, saturation);
}

bool FrameConverter::prepare(const Setup& setup) {
    m_scaler.reset();
    bool full_range_format = false;
    AVPixelFormat format =
        plain_format(static_cast<AVPixelFormat>(setup.source_format), full_range_format);
    if (!sws_isSupportedInput(format) || !make_scaler(setup, format)) return false;
    apply_colours(setup, full_range_format);
    m_setup = setup;
    return true;
}

bool FrameConverter::convert(const AVFrame& frame, int width, int height, Picture& picture) {
    if (frame.width <= 0 || frame.height <= 0 || width <= 0 || height <= 0) return false;
    Setup setup = setup_for(frame, width, height);
    if ((!m_scaler || !(setup == m_setup)) && !prepare(setup)) return false;
    picture.width = width;
    picture.height = height;
    // The scaler's vector code stores whole blocks, past the end of the last row: the buffer
    // carries a row and a block of slack beyond the picture, which nothing else reads.
    picture.pixels.resize(static_cast<size_t>(width) * (height + 1) * 4 + scaler_slack);
    uint8_t* planes[4] = {picture.pixels.data(), nullptr, nullptr, nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    return sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) >
           0;
}

} // namespace lanternix::media
