// The waveOut functions: devices, their queues of buffers, and buffers marked done as the
// sound output plays them.
#include <winapi/sound_output.h>

#include <windows.h>

#include <deque>
#include <map>
#include <mutex>

namespace winapi::sound {

namespace {

struct WaveDevice {
    std::unique_ptr<SoundOutput> output;
    std::deque<WAVEHDR*> queue;
    uint64_t queued_bytes = 0;  // the end of the last queued buffer, in output bytes
    uint64_t head_start = 0;    // where the first queued buffer starts
    uint64_t position_base = 0; // output bytes played before the last reset
    DWORD volume = 0xFFFFFFFF;
    WAVEFORMATEX format{};
};

struct DeviceTable {
    std::mutex mutex;
    std::map<uintptr_t, WaveDevice> devices;
    uintptr_t next = 0x5700;
};

DeviceTable& table() {
    static auto* devices = new DeviceTable;
    return *devices;
}

SoundOutputFactory g_factory = nullptr;

WaveDevice* find(HWAVEOUT handle) {
    auto it = table().devices.find(reinterpret_cast<uintptr_t>(handle));
    return it == table().devices.end() ? nullptr : &it->second;
}

// Marks the buffers the output has finished with as done.
void retire_played(WaveDevice& device) {
    uint64_t played = device.output->played_bytes();
    while (!device.queue.empty()) {
        WAVEHDR* header = device.queue.front();
        if (played < device.head_start + header->dwBufferLength) break;
        device.head_start += header->dwBufferLength;
        header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        device.queue.pop_front();
    }
}

bool format_supported(const WAVEFORMATEX* format) {
    return format && format->wFormatTag == WAVE_FORMAT_PCM &&
           (format->nChannels == 1 || format->nChannels == 2) &&
           (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) &&
           format->nSamplesPerSec >= 1000 && format->nSamplesPerSec <= 192000 &&
           format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8 &&
           format->nAvgBytesPerSec == format->nSamplesPerSec * format->nBlockAlign;
}

} // namespace

void set_sound_output_factory(SoundOutputFactory factory) {
    g_factory = factory;
}

std::unique_ptr<SoundOutput> make_sound_output(const WAVEFORMATEX& format) {
    return g_factory ? g_factory(format) : make_clock_paced_output(format);
}

} // namespace winapi::sound

using namespace winapi::sound;

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR,
                            DWORD_PTR, DWORD fdwOpen) {
    if (uDeviceID != WAVE_MAPPER && uDeviceID != 0) return MMSYSERR_BADDEVICEID;
    if ((fdwOpen & CALLBACK_TYPEMASK) != CALLBACK_NULL) return MMSYSERR_NOTSUPPORTED;
    if (!pwfx) return MMSYSERR_INVALPARAM;
    if (!format_supported(pwfx)) return WAVERR_BADFORMAT;
    if (fdwOpen & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
    if (!phwo) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(table().mutex);
    WaveDevice device;
    device.output = make_sound_output(*pwfx);
    if (!device.output) return MMSYSERR_NODRIVER;
    device.format = *pwfx;
    device.position_base = device.output->played_bytes();
    uintptr_t id = table().next++;
    table().devices.emplace(id, std::move(device));
    *phwo = reinterpret_cast<HWAVEOUT>(id);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutClose(HWAVEOUT hwo) {
    std::lock_guard lock(table().mutex);
    WaveDevice* device = find(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    retire_played(*device);
    if (!device->queue.empty()) return WAVERR_STILLPLAYING;
    table().devices.erase(reinterpret_cast<uintptr_t>(hwo));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    std::lock_guard lock(table().mutex);
    if (!find(hwo)) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR) || (!pwh->lpData && pwh->dwBufferLength))
        return MMSYSERR_INVALPARAM;
    pwh->dwFlags = (pwh->dwFlags & ~WHDR_DONE) | WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    std::lock_guard lock(table().mutex);
    WaveDevice* device = find(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    retire_played(*device);
    if (pwh->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    std::lock_guard lock(table().mutex);
    WaveDevice* device = find(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    if (!(pwh->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (pwh->dwFlags & WHDR_INQUEUE) return MMSYSERR_INVALPARAM;
    retire_played(*device);
    if (device->queue.empty()) device->head_start = device->output->played_bytes();
    pwh->dwFlags = (pwh->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    device->queue.push_back(pwh);
    device->output->queue(reinterpret_cast<const uint8_t*>(pwh->lpData), pwh->dwBufferLength);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutReset(HWAVEOUT hwo) {
    std::lock_guard lock(table().mutex);
    WaveDevice* device = find(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    device->output->flush();
    device->position_base = device->output->played_bytes();
    for (WAVEHDR* header : device->queue)
        header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    device->queue.clear();
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume) {
    std::lock_guard lock(table().mutex);
    WaveDevice* device = find(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    device->volume = dwVolume;
    device->output->set_volume(static_cast<uint16_t>(dwVolume & 0xFFFF),
                               static_cast<uint16_t>(dwVolume >> 16));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutGetVolume(HWAVEOUT hwo, LPDWORD pdwVolume) {
    std::lock_guard lock(table().mutex);
    WaveDevice* device = find(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    if (!pdwVolume) return MMSYSERR_INVALPARAM;
    *pdwVolume = device->volume;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutGetPosition(HWAVEOUT hwo, LPMMTIME pmmt, UINT cbmmt) {
    std::lock_guard lock(table().mutex);
    WaveDevice* device = find(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    if (!pmmt || cbmmt < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    retire_played(*device);
    uint64_t bytes = device->output->played_bytes() - device->position_base;
    // The counts are 32 bits wide and wrap, as the device's own do.
    switch (pmmt->wType) {
    case TIME_SAMPLES:
        pmmt->u.sample = static_cast<DWORD>(bytes / device->format.nBlockAlign);
        break;
    case TIME_MS:
        pmmt->u.ms = static_cast<DWORD>(bytes * 1000 / device->format.nAvgBytesPerSec);
        break;
    default:
        pmmt->wType = TIME_BYTES;
        pmmt->u.cb = static_cast<DWORD>(bytes);
        break;
    }
    return MMSYSERR_NOERROR;
}
