// Waveform output: buffers queued in order and marked done as the headless output plays
// them at the pace of the desktop clock.
#include <windows.h>
#include <winapi/desktop.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

WAVEFORMATEX pcm_format(DWORD rate, WORD channels, WORD bits) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

class WaveOutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        winapi::desktop::use_manual_clock(5000);
        WAVEFORMATEX format = pcm_format(8000, 1, 16); // 16000 bytes a second
        ASSERT_EQ(waveOutOpen(&m_device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL),
                  MMSYSERR_NOERROR);
        for (int i = 0; i < 2; ++i) {
            m_data[i].assign(1600, 0); // 100 ms each
            m_headers[i] = WAVEHDR{};
            m_headers[i].lpData = m_data[i].data();
            m_headers[i].dwBufferLength = 1600;
            ASSERT_EQ(waveOutPrepareHeader(m_device, &m_headers[i], sizeof(WAVEHDR)),
                      MMSYSERR_NOERROR);
        }
    }
    void TearDown() override {
        waveOutReset(m_device);
        for (WAVEHDR& header : m_headers)
            waveOutUnprepareHeader(m_device, &header, sizeof header);
        EXPECT_EQ(waveOutClose(m_device), MMSYSERR_NOERROR);
        winapi::desktop::reset();
    }

    HWAVEOUT m_device = nullptr;
    std::vector<char> m_data[2];
    WAVEHDR m_headers[2];
};

TEST_F(WaveOutTest, BuffersFinishOneAfterAnotherAtRealTimePace) {
    EXPECT_TRUE(m_headers[0].dwFlags & WHDR_PREPARED);
    ASSERT_EQ(waveOutWrite(m_device, &m_headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(m_device, &m_headers[1], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_TRUE(m_headers[0].dwFlags & WHDR_INQUEUE);
    winapi::desktop::advance_clock(99);
    EXPECT_EQ(waveOutUnprepareHeader(m_device, &m_headers[0], sizeof(WAVEHDR)),
              WAVERR_STILLPLAYING);
    winapi::desktop::advance_clock(1);
    EXPECT_EQ(waveOutUnprepareHeader(m_device, &m_headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_TRUE(m_headers[0].dwFlags & WHDR_DONE);
    EXPECT_FALSE(m_headers[1].dwFlags & WHDR_DONE);
    EXPECT_EQ(waveOutClose(m_device), WAVERR_STILLPLAYING);
    winapi::desktop::advance_clock(100);
    EXPECT_EQ(waveOutUnprepareHeader(m_device, &m_headers[1], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_TRUE(m_headers[1].dwFlags & WHDR_DONE);
}

TEST_F(WaveOutTest, BufferWrittenAfterSilenceStartsWhenWritten) {
    ASSERT_EQ(waveOutWrite(m_device, &m_headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    winapi::desktop::advance_clock(1000);
    ASSERT_EQ(waveOutWrite(m_device, &m_headers[1], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_TRUE(m_headers[0].dwFlags & WHDR_DONE);
    winapi::desktop::advance_clock(50);
    EXPECT_EQ(waveOutUnprepareHeader(m_device, &m_headers[1], sizeof(WAVEHDR)),
              WAVERR_STILLPLAYING);
}

TEST_F(WaveOutTest, ResetMarksQueuedBuffersDone) {
    waveOutWrite(m_device, &m_headers[0], sizeof(WAVEHDR));
    waveOutWrite(m_device, &m_headers[1], sizeof(WAVEHDR));
    EXPECT_EQ(waveOutReset(m_device), MMSYSERR_NOERROR);
    EXPECT_TRUE(m_headers[0].dwFlags & WHDR_DONE);
    EXPECT_TRUE(m_headers[1].dwFlags & WHDR_DONE);
    EXPECT_FALSE(m_headers[1].dwFlags & WHDR_INQUEUE);
}

TEST_F(WaveOutTest, RefusesUnpreparedBuffersAndBadHandles) {
    WAVEHDR loose{};
    char byte = 0;
    loose.lpData = &byte;
    loose.dwBufferLength = 1;
    EXPECT_EQ(waveOutWrite(m_device, &loose, sizeof loose), WAVERR_UNPREPARED);
    EXPECT_EQ(
        waveOutWrite(reinterpret_cast<HWAVEOUT>(uintptr_t(1)), &m_headers[0], sizeof(WAVEHDR)),
        MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutPrepareHeader(m_device, &loose, 4), MMSYSERR_INVALPARAM);
}

TEST_F(WaveOutTest, VolumeIsKept) {
    DWORD volume = 0;
    EXPECT_EQ(waveOutGetVolume(m_device, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFFFFFFu);
    EXPECT_EQ(waveOutSetVolume(m_device, 0x80004000), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutGetVolume(m_device, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0x80004000u);
}

TEST(WaveOutFormat, OnlyPlainPcmOpens) {
    HWAVEOUT device = nullptr;
    WAVEFORMATEX format = pcm_format(44100, 2, 16);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &format, 0, 0, WAVE_FORMAT_QUERY),
              MMSYSERR_NOERROR);
    format.nAvgBytesPerSec += 1;
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    format = pcm_format(44100, 6, 16);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    format = pcm_format(44100, 2, 16);
    EXPECT_EQ(waveOutOpen(&device, 7, &format, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, nullptr, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
}

} // namespace
