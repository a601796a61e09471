// The media player's cost, in the notification benchmark's run for scale: one media
// pass with its now-playing request answered, the handler decoding a 600 x 600 JPEG
// artwork and taking its average colour for a "dominant" background.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <stdio.h>

#include <cstdlib>
#include <vector>

#include "host/foundation/main_queue.h"
#include "host/foundation/media_remote.h"
#include "host/foundation/values.h"
#include "host/springboard/media_player.h"
#include "prefs/globals.h"
#include "startup/loader.h"

#include "bench_device.h"

namespace {

using rt::Ref;

// A 600 x 600 JPEG of a colourful gradient, encoded with libjpeg.
std::vector<uint8_t> artworkJPEG() {
  constexpr int kSide = 600;
  std::vector<uint8_t> rgb(static_cast<size_t>(kSide) * kSide * 3);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * kSide + x) * 3];
      p[0] = static_cast<uint8_t>(255 * x / kSide);
      p[1] = static_cast<uint8_t>(255 * y / kSide);
      p[2] = static_cast<uint8_t>((x * y) & 0xff);
    }
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = kSide;
  info.image_height = kSide;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 85, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = &rgb[static_cast<size_t>(info.next_scanline) * kSide * 3];
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

void BM_MediaPassWithHandler(benchmark::State& state) {
  bench::MailDevice device("media", std::vector<uint32_t>(180 * 180, 0xff3366cc),
                           &lumora::resetProcess);
  Ref<> store = rt::send(rt::send(cls::NSUserDefaults, sel::alloc), sel::initWithSuiteName,
                         host::NSStr("com.tarnwick.lumora"));
  rt::send(store, sel::setObject_forKey, host::NSStr("dominant"),
           host::NSStr("colorBackgroundMediaplayer"));
  lumora::loadSystem();
  host::setNowPlaying(host::now_playing::Track{"Harbour Lights", "Tidewater", artworkJPEG()});
  host::main_queue::drain();
  Ref<> controls = host::mediaControlsView();
  for (auto _ : state) {
    rt::send(controls, sel::didMoveToWindow);
    host::main_queue::drain();
  }
}
BENCHMARK(BM_MediaPassWithHandler);

}  // namespace
