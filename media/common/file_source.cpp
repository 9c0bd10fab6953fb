#include "common/file_source.h"

#include <windows.h>

#include <climits>

namespace lanternix::media {

namespace {

constexpr int io_buffer_size = 32 * 1024;

// What an I/O context reads through: the shared source and this reader's own position.
struct IoReader {
    std::shared_ptr<FileSource> source;
    int64_t position = 0;
};

int read_packet(void* opaque, uint8_t* buffer, int size) {
    auto* reader = static_cast<IoReader*>(opaque);
    int64_t got = reader->source->read_at(reader->position, buffer, size);
    if (got < 0) return AVERROR(EIO);
    if (got == 0) return AVERROR_EOF;
    reader->position += got;
    return static_cast<int>(got);
}

int64_t seek(void* opaque, int64_t offset, int whence) {
    auto* reader = static_cast<IoReader*>(opaque);
    int64_t size = reader->source->size();
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size < 0 ? AVERROR(EIO) : size;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += reader->position;
        break;
    case SEEK_END:
        if (size < 0) return AVERROR(EIO);
        offset += size;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (offset < 0) return AVERROR(EINVAL);
    reader->position = offset;
    return offset;
}

} // namespace

FileSource::~FileSource() {
    if (m_handle != HFILE_ERROR) _lclose(m_handle);
}

std::shared_ptr<FileSource> FileSource::open_path(const std::string& path) {
    HFILE handle = _lopen(path.c_str(), OF_READ | OF_SHARE_DENY_NONE);
    if (handle == HFILE_ERROR) return nullptr;
    return std::make_shared<FileSource>(handle);
}

std::shared_ptr<FileSource> FileSource::share_handle(HFILE handle) {
    // An HFILE is the file's handle value, on Windows as in the Win32 layer. The copy shares
    // the file position with the caller's handle, so every read seeks first.
    HANDLE copy = nullptr;
    HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(handle)), process,
                         &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return std::make_shared<FileSource>(static_cast<HFILE>(reinterpret_cast<INT_PTR>(copy)));
}

int64_t FileSource::read_at(uint64_t offset, void* buffer, size_t count) {
    // The classic handle functions address the file with a LONG.
    if (offset > static_cast<uint64_t>(LONG_MAX)) return 0;
    if (_llseek(m_handle, static_cast<LONG>(offset), FILE_BEGIN) == HFILE_ERROR) return -1;
    size_t total = 0;
    while (total < count) {
        UINT chunk = static_cast<UINT>(std::min<size_t>(count - total, 1u << 30));
        UINT got = _lread(m_handle, static_cast<char*>(buffer) + total, chunk);
        if (got == static_cast<UINT>(HFILE_ERROR)) return total ? static_cast<int64_t>(total) : -1;
        if (got == 0) break;
        total += got;
    }
    return static_cast<int64_t>(total);
}

int64_t FileSource::size() {
    LONG end = _llseek(m_handle, 0, FILE_END);
    return end == HFILE_ERROR ? -1 : end;
}

void IoContextDeleter::operator()(AVIOContext* context) const {
    delete static_cast<IoReader*>(context->opaque);
    // The demuxer may have replaced the buffer; free whichever it holds now.
    av_freep(&context->buffer);
    avio_context_free(&context);
}

IoContextPtr make_io_context(std::shared_ptr<FileSource> source) {
    auto* buffer = static_cast<unsigned char*>(av_malloc(io_buffer_size));
    if (!buffer) return nullptr;
    auto* reader = new IoReader{std::move(source), 0};
    AVIOContext* context =
        avio_alloc_context(buffer, io_buffer_size, 0, reader, read_packet, nullptr, seek);
    if (!context) {
        av_free(buffer);
        delete reader;
        return nullptr;
    }
    return IoContextPtr(context);
}

} // namespace lanternix::media
