# Builds the FFmpeg that the Windows engine DLLs link statically, and defines the target
# ffmpeg_windows that carries its headers and libraries.
#
# The source is Debian's ffmpeg source package (apt-get source applies Debian's patches), cross
# configured with the same MinGW tool chain as the rest of the build. Only what the engine uses
# is built: the QuickTime demuxer, the decoders of the movies it plays and their parsers, and
# the scaling and resampling libraries. Everything else stays off so that the build is short.
#
# LANTERNIX_FFMPEG_WINDOWS_DIR holds the source, the build and the install. It outlives build
# folders on purpose: once its install is complete, a stamp there records the configure options,
# and any build folder that finds the same options uses the install as it is.

include(ExternalProject)

if(NOT LANTERNIX_MINGW_PREFIX)
  message(FATAL_ERROR "FFmpegWindows needs the MinGW tool chain file (cmake/mingw-i686.cmake)")
endif()

set(LANTERNIX_FFMPEG_WINDOWS_DIR "${CMAKE_BINARY_DIR}/ffmpeg" CACHE PATH
    "Folder where the Windows FFmpeg is fetched, built and installed once")

set(ffmpeg_dir "${LANTERNIX_FFMPEG_WINDOWS_DIR}")
set(ffmpeg_install "${ffmpeg_dir}/install")
set(ffmpeg_stamp "${ffmpeg_install}/lanternix-ffmpeg.stamp")

# The codecs of the movies the engine plays. configure only warns about a name it does not know
# or a decoder whose needs are not met, so the build stops on those warnings instead.
set(ffmpeg_video_decoders
    h264 hevc mpeg4 h263 h263p h261 flv svq1 svq3 cinepak rpza smc qtrle png tiff jpeg2000
    mjpeg mjpegb prores dnxhd mpeg1video mpeg2video rawvideo msrle eightbps qdraw v210 r210 yuv4
    targa bmp gif)
set(ffmpeg_audio_decoders
    aac mp3 mp3float mp2 alac pcm_u8 pcm_s8 pcm_s16le pcm_s16be pcm_s24le pcm_s24be pcm_s32le
    pcm_s32be pcm_f32le pcm_f32be pcm_f64le pcm_f64be pcm_mulaw pcm_alaw adpcm_ima_qt qdm2 qdmc
    mace3 mace6 amrnb amrwb ac3 eac3 gsm)
# A parser for each codec above that has one: the demuxer uses them to split MPEG audio, MPEG
# video and AC-3 into frames, to read H.264 headers, and to find the key frames of a video
# track whose key-frame table is empty.
set(ffmpeg_parsers
    h264 hevc mpeg4video h263 h261 mpegvideo mjpeg png gif bmp jpeg2000 dnxhd aac ac3 mpegaudio
    gsm amr)

# The engine reads through its own I/O context, so no protocol is built. Threads are Win32
# threads, as the tool chain's thread model is. zlib is the only outside library: the demuxer
# needs it for compressed movie headers and the PNG and TIFF decoders for their data. nasm
# builds the hand-written assembly that makes H.264 and the scaler fast.
set(ffmpeg_configure_options
    --prefix=${ffmpeg_install}
    --enable-cross-compile --target-os=mingw32 --arch=x86
    --cross-prefix=${LANTERNIX_MINGW_PREFIX}-
    --cc=${CMAKE_C_COMPILER} --cxx=${CMAKE_CXX_COMPILER}
    --enable-static --disable-shared --disable-debug
    --disable-programs --disable-doc --disable-avdevice --disable-avfilter --disable-postproc
    --disable-network --disable-autodetect --enable-zlib --enable-w32threads --enable-x86asm
    --disable-everything --enable-demuxer=mov)
foreach(decoder IN LISTS ffmpeg_video_decoders ffmpeg_audio_decoders)
  list(APPEND ffmpeg_configure_options --enable-decoder=${decoder})
endforeach()
foreach(parser IN LISTS ffmpeg_parsers)
  list(APPEND ffmpeg_configure_options --enable-parser=${parser})
endforeach()

# Link order matters for static libraries: each comes before the ones it uses.
set(ffmpeg_libraries avformat avcodec swscale swresample avutil)
set(ffmpeg_library_files "")
foreach(library IN LISTS ffmpeg_libraries)
  list(APPEND ffmpeg_library_files "${ffmpeg_install}/lib/lib${library}.a")
endforeach()

# The stamp holds the options it was built with, so a changed list builds again.
string(REPLACE ";" " " ffmpeg_stamp_text "${ffmpeg_configure_options}")
set(ffmpeg_installed_text "")
if(EXISTS "${ffmpeg_stamp}")
  file(READ "${ffmpeg_stamp}" ffmpeg_installed_text)
endif()

add_library(ffmpeg_windows INTERFACE)

if(NOT ffmpeg_installed_text STREQUAL ffmpeg_stamp_text)
  # The stamp goes before configure and comes back after install, from this file, so that it
  # exists only beside a whole install.
  set(ffmpeg_stamp_source "${CMAKE_CURRENT_BINARY_DIR}/lanternix-ffmpeg.stamp")
  file(WRITE "${ffmpeg_stamp_source}" "${ffmpeg_stamp_text}")

  # The source is unpacked beside the cache and moved into place whole, so a fetch that stops
  # halfway never leaves a source folder that looks complete; one that is there is used as is.
  set(ffmpeg_fetch "test -f source/configure || (rm -rf fetch source && mkdir fetch && cd fetch \
&& apt-get source ffmpeg && cd .. && mv fetch/ffmpeg-*/ source) && rm -rf fetch")

  cmake_host_system_information(RESULT ffmpeg_jobs QUERY NUMBER_OF_LOGICAL_CORES)
  ExternalProject_Add(ffmpeg_windows_build
    PREFIX "${CMAKE_CURRENT_BINARY_DIR}/ffmpeg_windows_build"
    SOURCE_DIR "${ffmpeg_dir}/source"
    BINARY_DIR "${ffmpeg_dir}/build"
    INSTALL_DIR "${ffmpeg_install}"
    DOWNLOAD_COMMAND sh -c "cd '${ffmpeg_dir}' && ${ffmpeg_fetch}"
    CONFIGURE_COMMAND ${CMAKE_COMMAND} -E rm -f "${ffmpeg_stamp}"
              COMMAND <SOURCE_DIR>/configure ${ffmpeg_configure_options}
              COMMAND sh -c "! grep -E 'did not match anything|WARNING: Disabled ' ffbuild/config.log"
    BUILD_COMMAND make -j${ffmpeg_jobs}
    INSTALL_COMMAND make install
            COMMAND ${CMAKE_COMMAND} -E copy "${ffmpeg_stamp_source}" "${ffmpeg_stamp}"
    BUILD_BYPRODUCTS ${ffmpeg_library_files}
    LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
  add_dependencies(ffmpeg_windows ffmpeg_windows_build)
endif()

# The static zlib, named by file: given as -lz the linker would take the import library and
# make the DLLs need a zlib1.dll beside them.
find_library(LANTERNIX_ZLIB_STATIC NAMES libz.a REQUIRED
             DOC "Static zlib of the MinGW tool chain (Debian package libz-mingw-w64-dev)")

# FFmpeg's headers are system headers to the engine, so their deprecation notes do not trip
# the warnings-as-errors build.
target_include_directories(ffmpeg_windows SYSTEM INTERFACE "${ffmpeg_install}/include")
# bcrypt gives avutil its random seeds; the rest of what FFmpeg calls is in kernel32 and the C
# runtime, which every program links anyway.
target_link_libraries(ffmpeg_windows INTERFACE ${ffmpeg_library_files} ${LANTERNIX_ZLIB_STATIC} bcrypt)
# A DLL without an export list exports every global symbol it links; FFmpeg's and zlib's are
# not the engine's to offer, so they are kept out of the DLLs' export tables.
list(TRANSFORM ffmpeg_libraries PREPEND lib OUTPUT_VARIABLE ffmpeg_archives)
list(TRANSFORM ffmpeg_archives APPEND .a)
list(APPEND ffmpeg_archives libz.a)
string(REPLACE ";" ":" ffmpeg_archives "${ffmpeg_archives}")
target_link_options(ffmpeg_windows INTERFACE "LINKER:--exclude-libs,${ffmpeg_archives}")
