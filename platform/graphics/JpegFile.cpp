#include "platform/graphics/JpegFile.h"

#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// Progressive files can repeat scans without end, and every scan walks the whole picture
// again. Encoders write about ten (one DC scan and a few AC bands and refinements per
// component); even finely tuned scripts stay within a few dozen.
constexpr int kMaxScans = 100;
// JPEG pictures are skin textures, a few hundred pixels a side. A progressive one keeps its
// whole coefficient image in memory while it is decoded, so sizes far beyond any texture are
// refused before decoding starts: 16 Mpx, a quarter of what a bitmap may hold.
constexpr int64_t kMaxJpegPixels = int64_t(1) << 24;
constexpr int64_t kMaxJpegSide = 16384;

struct TJpegError {
  jpeg_error_mgr Pub;  // first member: libjpeg hands &Pub back as info->err
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX + 64];
};

// The decoder and everything its callbacks touch. The callbacks leave libjpeg by longjmp to the
// step that called it; the steps below hold nothing with a destructor, so nothing is skipped.
struct TJpegJob {
  jpeg_decompress_struct Info;
  TJpegError Error;
  jpeg_progress_mgr Progress;
};

[[noreturn]] void Abort(j_common_ptr info, const char* message) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  std::snprintf(error->Message, sizeof error->Message, "%s", message);
  std::longjmp(error->Jump, 1);
}

// libjpeg's fatal error, as `what` followed by libjpeg's own words.
[[noreturn]] void AbortWithLibraryMessage(j_common_ptr info, const char* what) {
  char text[JMSG_LENGTH_MAX];
  info->err->format_message(info, text);
  char message[JMSG_LENGTH_MAX + 64];
  std::snprintf(message, sizeof message, "%s: %s", what, text);
  Abort(info, message);
}

void ErrorExit(j_common_ptr info) { AbortWithLibraryMessage(info, "JPEG data is invalid"); }
void WriteErrorExit(j_common_ptr info) { AbortWithLibraryMessage(info, "JPEG could not be written"); }

void EmitMessage(j_common_ptr info, int level) {
  if (level >= 0) return;  // trace output
  // The memory source pads a short stream with an end marker and only warns; a picture with a
  // grey bottom is not a success.
  if (info->err->msg_code == JWRN_JPEG_EOF) Abort(info, "JPEG data is truncated");
  if (info->err->msg_code == JWRN_HIT_MARKER) Abort(info, "JPEG data is truncated: a data segment ends early");
  ++info->err->num_warnings;
}

const std::string kTooManyScans =
    "JPEG data is invalid: too many scans (more than " + std::to_string(kMaxScans) + ")";

// Stops a stream whose scans get past CountScans (libjpeg skips junk in ways it may not mirror).
void ProgressMonitor(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) Abort(info, kTooManyScans.c_str());
}

// Counts start-of-scan markers up to the end of the picture, stopping once past `limit`, so that
// a stream of repeated scans is refused before libjpeg allocates and walks the picture for each.
// Segments are skipped by their length (an embedded thumbnail has scans of its own); between
// them, entropy-coded data and junk are skipped up to the next marker, as libjpeg does.
int CountScans(const uint8_t* data, size_t size, int limit) {
  auto isMarker = [](uint8_t code) { return code != 0x00 && code != 0xFF && !(code >= 0xD0 && code <= 0xD7); };
  int scans = 0;
  size_t pos = 0;
  for (;;) {
    while (pos + 1 < size && !(data[pos] == 0xFF && isMarker(data[pos + 1]))) ++pos;
    if (pos + 1 >= size) return scans;
    const uint8_t code = data[pos + 1];
    pos += 2;
    if (code == 0xD9) return scans;               // end of picture
    if (code == 0xD8 || code == 0x01) continue;  // no length field
    if (code == 0xDA && ++scans > limit) return scans;
    if (pos + 2 > size) return scans;
    pos += (size_t(data[pos]) << 8) | data[pos + 1];
  }
}

bool ReadHeader(TJpegJob* job, const uint8_t* data, size_t size) {
  if (setjmp(job->Error.Jump)) return false;
  jpeg_create_decompress(&job->Info);
  job->Info.progress = &job->Progress;
  jpeg_mem_src(&job->Info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&job->Info, TRUE);
  return true;
}

bool Start(TJpegJob* job) {
  if (setjmp(job->Error.Jump)) return false;
  jpeg_start_decompress(&job->Info);
  return true;
}

// Decodes into rows of B, G, R bytes. `cmyk` is a row of 4-byte pixels for CMYK/YCCK input, else null.
bool ReadRows(TJpegJob* job, uint8_t* row0, ptrdiff_t rowDistance, uint8_t* cmyk) {
  if (setjmp(job->Error.Jump)) return false;
  j_decompress_ptr info = &job->Info;
  // Adobe's CMYK files store the inks inverted.
  const bool inverted = info->saw_Adobe_marker;
  while (info->output_scanline < info->output_height) {
    uint8_t* row = row0 + ptrdiff_t(info->output_scanline) * rowDistance;
    JSAMPROW target = cmyk ? cmyk : row;
    if (jpeg_read_scanlines(info, &target, 1) != 1) {
      std::snprintf(job->Error.Message, sizeof job->Error.Message, "JPEG data is truncated");
      return false;
    }
    if (cmyk) {
      for (JDIMENSION x = 0; x < info->output_width; ++x) {
        const uint8_t* s = cmyk + 4 * x;
        const unsigned k = inverted ? s[3] : 255 - s[3];
        for (int i = 0; i < 3; ++i) {
          const unsigned ink = inverted ? s[2 - i] : 255 - s[2 - i];  // Y, M, C give B, G, R
          row[3 * x + i] = uint8_t((ink * k + 127) / 255);
        }
      }
    }
#ifndef JCS_EXTENSIONS
    else {
      for (JDIMENSION x = 0; x < info->output_width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
    }
#endif
  }
  jpeg_finish_decompress(info);
  return true;
}

// The compressor and its error state; like the decoder, it leaves libjpeg by longjmp.
struct TJpegWriteJob {
  jpeg_compress_struct Info;
  TJpegError Error;
  unsigned char* Buffer;
  unsigned long Size;
};

// Rows are taken from the picture through GetPixel, so any depth will do; the row buffer
// belongs to libjpeg's pool and goes with jpeg_destroy_compress.
bool Compress(TJpegWriteJob* job, const TDib& picture, int quality) {
  if (setjmp(job->Error.Jump)) return false;
  jpeg_create_compress(&job->Info);
  jpeg_compress_struct& info = job->Info;
  jpeg_mem_dest(&info, &job->Buffer, &job->Size);
  info.image_width = JDIMENSION(picture.Width());
  info.image_height = JDIMENSION(picture.Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  JSAMPARRAY rows = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               JDIMENSION(picture.Width()) * 3, 1);
  while (info.next_scanline < info.image_height) {
    const int y = int(info.next_scanline);
    for (int x = 0; x < picture.Width(); ++x) {
      const COLORREF c = picture.GetPixel(x, y);
      rows[0][3 * x] = GetRValue(c);
      rows[0][3 * x + 1] = GetGValue(c);
      rows[0][3 * x + 2] = GetBValue(c);
    }
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

TDib LoadJpeg(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0) throw EPictureError("JPEG data is empty");
  auto job = std::make_unique<TJpegJob>();  // zeroed
  job->Info.err = jpeg_std_error(&job->Error.Pub);
  job->Error.Pub.error_exit = ErrorExit;
  job->Error.Pub.emit_message = EmitMessage;
  job->Progress.progress_monitor = ProgressMonitor;
  struct TDestroyer {
    TJpegJob* Job;
    ~TDestroyer() { jpeg_destroy_decompress(&Job->Info); }
  } destroyer{job.get()};

  if (!ReadHeader(job.get(), data, size)) throw EPictureError(job->Error.Message);
  jpeg_decompress_struct& info = job->Info;
  const int64_t width = info.image_width, height = info.image_height;
  if (width > kMaxJpegSide || height > kMaxJpegSide || width * height > kMaxJpegPixels)
    throw EPictureError("JPEG picture is too large: " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels (at most " + std::to_string(kMaxJpegPixels) + " pixels and " +
                        std::to_string(kMaxJpegSide) + " on a side)");
  if (CountScans(data, size, kMaxScans) > kMaxScans) throw EPictureError(kTooManyScans);
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
#ifdef JCS_EXTENSIONS
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
#else
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
#endif
  if (!Start(job.get())) throw EPictureError(job->Error.Message);

  TDib dib(int(info.output_width), int(info.output_height), 24);
  std::vector<uint8_t> cmykRow(cmyk ? size_t(info.output_width) * 4 : 0);
  if (!ReadRows(job.get(), dib.Row0(), dib.RowDistance(), cmyk ? cmykRow.data() : nullptr))
    throw EPictureError(job->Error.Message);
  return dib;
}

TDib LoadJpegFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadPictureFile(path);
  try {
    return LoadJpeg(bytes.data(), bytes.size());
  } catch (const EPictureError& e) {
    throw EPictureError(path + ": " + e.what());
  }
}

std::vector<uint8_t> SaveJpeg(const TDib& picture, int quality) {
  if (picture.Empty()) throw EPictureError("an empty picture has no JPEG form");
  if (quality < 1 || quality > 100) throw EPictureError("JPEG quality must be 1 to 100, not " + std::to_string(quality));
  auto job = std::make_unique<TJpegWriteJob>();  // zeroed
  job->Info.err = jpeg_std_error(&job->Error.Pub);
  job->Error.Pub.error_exit = WriteErrorExit;
  struct TDestroyer {
    TJpegWriteJob* Job;
    ~TDestroyer() {
      jpeg_destroy_compress(&Job->Info);
      std::free(Job->Buffer);
    }
  } destroyer{job.get()};
  if (!Compress(job.get(), picture, quality)) throw EPictureError(job->Error.Message);
  return std::vector<uint8_t>(job->Buffer, job->Buffer + job->Size);
}

void SaveJpegFile(const TDib& picture, const std::string& path, int quality) {
  WritePictureFile(path, SaveJpeg(picture, quality));
}
