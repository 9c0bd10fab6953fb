// Waveform audio output: the waveOut subset this project uses. Records are byte-packed, as
// their published layouts are.
#pragma once

#include <windef.h>

typedef UINT MMRESULT;
// HWAVEOUT is declared with the other handles in windef.h.
typedef HWAVEOUT* LPHWAVEOUT;

#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_NOTENABLED 3
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define WAVERR_BADFORMAT 32
#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34

#define WAVE_MAPPER ((UINT)-1)
#define WAVE_FORMAT_QUERY 0x0001
#define WAVE_FORMAT_PCM 1

// What a position is measured in.
#define TIME_MS 0x0001
#define TIME_SAMPLES 0x0002
#define TIME_BYTES 0x0004
#define TIME_SMPTE 0x0008
#define TIME_MIDI 0x0010
#define TIME_TICKS 0x0020

#define CALLBACK_TYPEMASK 0x00070000l
#define CALLBACK_NULL 0x00000000l

#define WHDR_DONE 0x00000001
#define WHDR_PREPARED 0x00000002
#define WHDR_BEGINLOOP 0x00000004
#define WHDR_ENDLOOP 0x00000008
#define WHDR_INQUEUE 0x00000010

#pragma pack(push, 1)

typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX, *PWAVEFORMATEX, *LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

typedef struct wavehdr_tag {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    struct wavehdr_tag* lpNext;
    DWORD_PTR reserved;
} WAVEHDR, *PWAVEHDR, *LPWAVEHDR;

typedef struct mmtime_tag {
    UINT wType;
    union {
        DWORD ms;
        DWORD sample;
        DWORD cb;
        DWORD ticks;
        struct {
            BYTE hour;
            BYTE min;
            BYTE sec;
            BYTE frame;
            BYTE fps;
            BYTE dummy;
            BYTE pad[2];
        } smpte;
        struct {
            DWORD songptrpos;
        } midi;
    } u;
} MMTIME, *PMMTIME, *LPMMTIME;

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is packed");
static_assert(sizeof(MMTIME) == 12, "MMTIME is a type and an 8-byte union");
#endif

// Opens the output for PCM of the format (8 or 16 bits, 1 or 2 channels). Only
// CALLBACK_NULL: callers see buffers finish through WHDR_DONE. With WAVE_FORMAT_QUERY, only
// says whether the format can be played.
LXAPI MMRESULT WINAPI waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx,
                                  DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen);
LXAPI MMRESULT WINAPI waveOutClose(HWAVEOUT hwo);
LXAPI MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
LXAPI MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
// Queues a prepared buffer; buffers play one after another in the order written.
LXAPI MMRESULT WINAPI waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
// Stops and marks every queued buffer done.
LXAPI MMRESULT WINAPI waveOutReset(HWAVEOUT hwo);
// Low word: left channel, high word: right, 0xFFFF full volume.
LXAPI MMRESULT WINAPI waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume);
LXAPI MMRESULT WINAPI waveOutGetVolume(HWAVEOUT hwo, LPDWORD pdwVolume);
// How much the device has played since it was opened or last reset, in the unit wType asks
// for (TIME_BYTES, TIME_SAMPLES or TIME_MS; any other is answered in bytes, with wType saying
// so). The count follows what the device has really played, not what was written to it.
LXAPI MMRESULT WINAPI waveOutGetPosition(HWAVEOUT hwo, LPMMTIME pmmt, UINT cbmmt);
